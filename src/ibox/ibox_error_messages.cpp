#include "ibox/ibox_error_messages.hpp"

#include <algorithm>
#include <array>

namespace nvrp {

namespace {

// Texts are kept exactly as the device documentation writes them, including Latin letters
// among Greek ones and the final space.
// clang-format off
constexpr std::array<tkIBoxErrorMessage, 143> kIBoxErrorMessages{{
    {101, "CHECK THE PRINTER PAPER! - ΕΛΕΓΞΤΕ TO XΑΡΤI ΕΚΤΥΠΩΤΗ! "},
    {102, "POSSIBLE PRINTER DISCONNECTION! - ΠΙΘΑΝΗ ΑΠΟΣΥΝΔΕΣΗ ΕΚΤΥΠΩΤΗ! "},
    {103, "PRINTER PROBLEM! (CHECK THE CUTTER) - ΠΡΟΒΛΗΜΑ ΕΚΤΥΠΩΤΗ! (ΕΛΕΓΞΤΕ ΤΟΝ ΚΟΦΤΗ) "},
    {111, "POSSIBLE SCREEN DISCONNECTION! - ΠΙΘΑΝΗ ΑΠΟΣΥΝΔΕΣΗ ΟΘΟΝΗΣ! "},
    {121, "POSSIBLE DISCONNECTION OF TAX MEMORY! - ΠΙΘΑΝΗ ΑΠΟΣΥΝΔΕΣΗ ΜΝΗΜΗΣ ΕΦΟΡΙΑΣ! "},
    {131, "ETHERNET EXEI FREEZES! - ΤΟ ETHΕRNET EXEI ΠΑΓΩΣΕΙ! "},
    {141, "DIP SWITCH IS IN POSITION ON! - ΤΟ DIP SWITCH EINAI ΣΕ ΘΕΣΗ ON! "},
    {142, "FORGOT THE DIP SWITCH IN POSITION ON! - ΞΕΧΑΣΑΤΕ ΤΟ DIP SWITCH ΣΕ ΘΕΣΗ ON! "},
    {161, "POSSIBLE INTERNAL DISCONNECTION. SD CARD! - ΠΙΘΑΝΗ ΑΠΟΣΥΝΔΕΣΗ ΕΣΩΤΕΡIK. ΚΑΡΤΑΣ SD! "},
    {171, "WRONG TIME AND DATE! - ΛΑΘΟΣ ΩΡΑ ΚΑΙ ΗΜΕΡΟΜΗΝΙΑ! "},
    {401, "EXCESS 24 HOURS, PUBLISH * Z *! - ΥΠΕΡΒΑΣΗ 24ΩΡΟΥ, ΕΚΔΟΣΤΕ *Ζ*! "},
    {402, "CHECK IF THE DATE IS CORRECT! - ΕΛΕΓΞΤΕ ΑΝ ΕΙΝΑΙ ΣΩΣΤΗ Η ΗΜΕΡΟΜΗΝΙΑ! "},
    {403, "DATE LESS THAN THE TAX MEMORY! - ΗΜΕΡΟΜΗΝΙΑ ΜΙΚΡΟΤΕΡΗ ΑΠΟ ΤΗ ΜΝΗΜΗ ΕΦΟΡΙΑΣ! "},
    {501, "ERROR IN XML FILE! (FACTORY DEFAULTS) - ΛΑΘΟΣ ΣΕ ΑΡΧΕΙΟ XML! (FACTORY DEFAULTS) "},
    {502, "ERROR RECORDING IN XML FILE! - ΛΑΘΟΣ ΚΑΤΑΓΡΑΦΗΣ ΣΕ ΑΡΧΕΙΟ XML! "},
    {503, "WRONG CREATING XML FILE! - ΛΑΘΟΣ ΔΗΜΙΟΥΡΓΙΑΣ ΑΡΧΕΙΟΥ XML! "},
    {504, "Missing XML FILE! - ΛΕΙΠΕΙ ΑΡΧΕΙΟ XML! "},
    {511, "ELECTRICAL FILE PROBLEM. CALENDAR! - ΠΡΟΒΛΗΜΑ ΦΑΚΕΛΛΟΥ ΗΛΕΚΤΡ. ΗΜΕΡΟΛΟΓΙΟΥ! "},
    {512, "PROBLEM OF ELECTRIC ARCHIVES. CALENDAR! - ΠΡΟΒΛΗΜΑ ΑΡΧΕΙΩΝ ΗΛΕΚΤΡ. ΗΜΕΡΟΛΟΓΙΟΥ! "},
    {513, "ELECTRONIC DIARY ARCHIVE. ALREADY EXISTS! - ΑΡΧΕΙΟ ΗΛΕΚΤΡΟΝΙΚΟΥ ΗΜΕΡΟΛ. ΥΠΑΡΧΕΙ ΗΔΗ! "},
    {514, "ELECTRICAL FILE PROBLEM. POST OFFICE! - ΠΡΟΒΛΗΜΑ ΦΑΚΕΛΛΟΥ ΗΛΕΚΤΡ. ΤΑΧΥΔΡΟΜΕΙΟΥ! "},
    {515, "PROBLEM OF ELECTRIC ARCHIVES. POST OFFICE! - ΠΡΟΒΛΗΜΑ ΑΡΧΕΙΩΝ ΗΛΕΚΤΡ. ΤΑΧΥΔΡΟΜΕΙΟΥ! "},
    {521, "SD INTERNAL MEMORY PROBLEM! - ΠΡΟΒΛΗΜΑ ΕΣΩΤΕΡΙΚΗΣ ΜΝΗΜΗΣ SD! "},
    {522, "PROBLEM INSIDE. DATABASE! - ΠΡΟΒΛΗΜΑ ΣΤΗΝ ΕΣΩΤ. ΒΑΣΗ ΔΕΔΟΜΕΝΩΝ! "},
    {523, "MISSING FROM DATABASE MISSING! - ΛΕΙΠΕΙ ΑΡΧΕΙΟ ΑΠΟ ΤΗ ΒΑΣΗ ΔΕΔΟΜΕΝΩΝ! "},
    {524, "DBASE FILE ON SD EINAI DESTROYED! - ΑΡΧΕΙΟ DBASE ΣΤΗΝ SD EINAI ΚΑΤΕΣΤΡΑΜΜΕΝΟ! "},
    {531, "MISSING A TITLE FROM TEN. - ΛΕΙΠΕΙ ΕΓΓΡΑΦΗ ΤΙΤΛΟΥ ΑΠΟ ΒΑΣΗ ΔΕΔ. "},
    {532, "MISSING TAXPAYER MISSING. DESCRIPTION! - ΛΕΙΠΕΙ ΕΓΓΡΑΦΗ ΦΟΡΟΛΟΓ. ΠΕΡΙΓΡΑΦΗΣ! "},
    {533, "PROBLEM OF TRANSPORTATION OF DAY BULLETINS! - ΠΡΟΒΛΗΜΑ ΜΕΤΑΦΟΡΑΣ ΔΕΛΤΙΩΝ ΗΜΕΡΑΣ! "},
    {534, "THERE ARE MOVEMENTS AFTER THE CURRENT * Z *! - ΥΠΑΡΧΟΥΝ ΚΙΝΗΣΕΙΣ ΜΕΤΑ ΤΟ ΤΡΕΧΟΝ *Ζ*! "},
    {535, "Missing REGISTRATION FROM MOVEMENT ARCHIVE! - ΛΕΙΠΕΙ ΕΓΓΡΑΦΗ ΑΠΟ ΑΡΧΕΙΟ ΚΙΝΗΣΕΩΝ! "},
    {536, "ERROR IN THE VAT DETAILS OF THE ITEM! - ΛΑΘΟΣ ΣΤA ΣΤΟΙΧΕΙΑ ΦΠΑ ΤΟΥ ΕΙΔΟΥΣ! "},
    {537, "MISSING VAT DATABASE FROM DATABASE! - ΛΕΙΠΕΙ ΕΓΓΡΑΦΗ ΦΠΑ ΑΠΟ ΒΑΣΗ ΔΕΔΟΜΕΝΩΝ! "},
    {541, "COMPLETE ZERO! - ΠΛΗΡΗΣ ΜΗΔΕΝΙΣΜΟΣ! "},
    {551, "THERE IS A WRONG IN THE VAT RATES! - ΥΠΑΡΧΕΙ ΛΑΘΟΣ ΣΤΟΥΣ ΣΥΝΤΕΛΕΣΤΕΣ ΦΠΑ! "},
    {552, "DIFFERENT TITLES IN THE TAX MEMORY! - ΔΙΑΦΟΡΕΤΙΚΟΙ ΤΙΤΛΟΙ ΣΤΗ ΜΝΗΜΗ ΕΦΟΡΙΑΣ! "},
    {553, "ANOTHER TAX DESCRIPTION IN THE TAX MEMORY! - ΑΛΛΗ ΦΟΡΟΛ.ΠΕΡΙΓΡΑΦΗ ΣΤΗ ΜΝΗΜΗ ΕΦΟΡΙΑΣ! "},
    {554, "ERROR MEMORIAL TAX REGISTRY NUMBER! - ΛΑΘΟΣ ΑΡ.ΜΗΤΡΩΟΥ ΜΝΗΜΗΣ ΕΦΟΡΙΑΣ! "},
    {555, "ERROR NO.FISCALIZ. MEMORY OF TAXATION! - ΛΑΘΟΣ ΑΡ.FISCALIZ. ΜΝΗΜΗΣ ΕΦΟΡΙΑΣ! "},
    {556, "WRONG ELEMENTS OF ANOTHER TAX OF THE KIND! - ΛΑΘΟΣ ΣΤΟΙΧΕΙΑ ΑΛΛΟΥ ΦΟΡΟΥ ΤΟΥ ΕΙΔΟΥΣ! "},
    {801, "PPC PARASITES IN THE MEMORY OF THE TAX OFFICE! - ΠΑΡΑΣΙΤΑ ΔΕΗ ΣΤΗ ΜΝΗΜΗ ΕΦΟΡΙΑΣ! "},
    {802, "TAKE OUT AND REMOVE THE SOCKET AGAIN! - ΒΓΑΛΤΕ ΚΑΙ ΞΑΝΑBΑΛΤΕ ΤΗΝ ΠΡΙΖΑ! "},
    {803, "FLASH PROBLEM # 1 TAX MEMORY! - ΠΡΟΒΛΗΜΑ FLASH #1 ΜΝΗΜΗΣ ΕΦΟΡΙΑΣ! "},
    {804, "FLASH PROBLEM # 2 TAX MEMORY! - ΠΡΟΒΛΗΜΑ FLASH #2 ΜΝΗΜΗΣ ΕΦΟΡΙΑΣ! "},
    {805, "FLASH PROBLEM # 3 TAX MEMORY! - ΠΡΟΒΛΗΜΑ FLASH #3 ΜΝΗΜΗΣ ΕΦΟΡΙΑΣ! "},
    {806, "FLASH PROBLEM # 4 TAX MEMORY! - ΠΡΟΒΛΗΜΑ FLASH #4 ΜΝΗΜΗΣ ΕΦΟΡΙΑΣ! "},
    {807, "COMMUNICATION ERROR # 1 WITH TAX MEMORY! - ΛΑΘΟΣ ΕΠΙΚΟΙΝΩΝΙΑΣ #1 ΜΕ ΜΝΗΜΗ ΕΦΟΡΙΑΣ! "},
    {808, "COMMUNICATION ERROR # 2 WITH TAX MEMORY! - ΛΑΘΟΣ ΕΠΙΚΟΙΝΩΝΙΑΣ #2 ΜΕ ΜΝΗΜΗ ΕΦΟΡΙΑΣ! "},
    {809, "COMMUNICATION ERROR # 3 WITH TAX MEMORY! - ΛΑΘΟΣ ΕΠΙΚΟΙΝΩΝΙΑΣ #3 ΜΕ ΜΝΗΜΗ ΕΦΟΡΙΑΣ! "},
    {810, "FAILURE TO REGISTER IN THE TAX MEMORY! - ΑΠΟΤΥΧΙΑ ΕΓΓΡΑΦΗΣ ΣΤΗ ΜΝΗΜΗ ΕΦΟΡΙΑΣ! "},
    {811, "THE TAX OFFICE IS FILLED! - Η ΜΜΗΜΗ ΕΦΟΡΙΑΣ ΕΧΕΙ ΓΕΜΙΣΕΙ! "},
    {821, "MISSING MISSIONS FROM MN. TAX OFFICE! - ΛΕΙΠΟΥΝ ΕΓΓΡΑΦΕΣ ΑΠΟ ΜΝ. ΕΦΟΡΙΑΣ! "},
    {822, "OVERVISION OF DOCUMENTS IN THE TAX MEMORY! - ΥΠΕΡΒΑΣΗ ΕΓΓΡΑΦΩΝ ΣΤΗ ΜΝΗΜΗ ΕΦΟΡΙΑΣ! "},
    {823, "H MNHMH EFORIA EINAI EMPTY! - H MNHMH ΕΦΟΡΙΑΣ EINAI ΚΕΝΗ! "},
    {831, "SUCCESSFUL RECORDING IN THE TAX MEMORY! - ΕΠΙΤΥΧΗΣ ΕΠΕΝΑΓΓΡΑΦΗ ΣΤΗ ΜΝΗΜΗ ΕΦΟΡΙΑΣ! "},
    {832, "NOTICE FM1 PRESS CANCEL! - ΕΙΔΟΠΟΙΗΣΗ FM1 ΠΑΤΗΣΤΕ ΑΚΥΡΩΣΗ! "},
    {833, "NOTICE FM2 PRESS CANCEL! - ΕΙΔΟΠΟΙΗΣΗ FM2 ΠΑΤΗΣΤΕ ΑΚΥΡΩΣΗ! "},
    {841, "MISSING * Z * DAY FROM THE TAX MEMORY - ΛΕΙΠΕΙ *Z* ΗΜΕΡΑΣ AΠΟ ΤΗ ΜΝΗΜΗ ΕΦΟΡΙΑΣ "},
    {842, "DATA MISCONNECTION AT THE LAST * Z *! - ΑΣΥΜΦΩΝΙΑ ΔΕΔΟΜΕΝΩΝ ΣΤΟ ΤΕΛΕΥΤΑΙΟ *Z*! "},
    {843, "TEN SIGNATURE IS MISSING. MEMORY DAY - ΛΕΙΠΕΙ ΥΠΟΓΡΑΦΗ ΔΕΔ. ΗΜΕΡΑΣ ΜΝΗΜΗΣ ΕΦΟΡ. "},
    {844, "MISSING MEMORIAL DAY TRANSFER. - ΛΕΙΠΕΙ ΜΕΤΑΦΟΡΑ ΗΜΕΡΑΣ ΜΝΗΜΗΣ ΕΦΟΡ. "},
    {1001, "THERE IS NO OPEN PROOF! - ΔΕΝ ΥΠΑΡΧΕΙ ΑΝΟΙΚΤΗ ΑΠΟΔΕΙΞΗ! "},
    {1002, "THE PROOF HAS ALREADY BEGUN! - Η ΑΠΟΔΕΙΞΗ ΕΧΕΙ ΗΔΗ ΑΡΧΙΣΕΙ! "},
    {1003, "ALREADY OPEN PROOF OF UNSUITABLE TYPE! - ΗΔΗ ΑΝΟΙΚΤΗ ΑΠΟΔΕΙΞΗ ΑΚΑΤΑΛΛΗΛΟΥ ΤΥΠΟΥ! "},
    {1004, "THERE IS OPEN PROOF! - ΥΠΑΡΧΕΙ ΑΝΟΙΚΤΗ ΑΠΟΔΕΙΞΗ! "},
    {1005, "ZERO * Z * DAY! - ΜΗΔΕΝΙΚΟ *Ζ* ΗΜΕΡΑΣ! "},
    {1006, "FULLY CANCELED ZERO PROOF! - ΠΛΗΡΩΣ ΑΚΥΡΩΜΕΝΗ ΜΗΔΕΝΙΚΗ ΑΠΟΔΕΙΞΗ! "},
    {1007, "CANCEL THN DISCOUNT / INCREASE FIRST! - ΑΚΥΡΩΣΤΕ ΠΡΩΤΑ THN ΕΚΠΤΩΣΗ/ΑΥΞHΣΗ! "},
    {1008, "CANCEL THE PAYMENTS FIRST! - ΑΚΥΡΩΣΤΕ ΠΡΩΤΑ ΤΙΣ ΠΛΗΡΩΜΕΣ! "},
    {1021, "YOU KILLED A VERY LARGE CODE! - ΠΛΗΚΤΡΟΛΟΓΗΣΑΤΕ ΠΟΛΥ ΜΕΓΑΛΟ ΚΩΔΙΚΟ! "},
    {1022, "THE CODE HAD TENS OF DIGITS! - Ο ΚΩΔΙΚΟΣ ΕΙΧΕ ΔΕΚΑΔΙΚΑ ΨΗΦΙΑ! "},
    {1023, "WRONG KEYWORD SEQUENCES! - ΛΑΘΟΣ ΑΛΛΗΛΟΥΧΙΑ ΠΛΗΚΤΡΟΛΟΓΗΣΗΣ! "},
    {1024, "CANNOT BE REPEATED! - ΔΕΝ ΜΠΟΡΕΙ ΝΑ ΓΙΝΕΙ ΕΠΑΝΑΛΗΨΗ! "},
    {1025, "ERROR IN PARAMETER VALUE x QUANTITY! - ΛΑΘΟΣ ΣΕ ΠΑΡΑΜΕΤΡΟ ΤΙΜΗ x ΠΟΣΟΤΗΤΑ! "},
    {1026, "WRONG PRICE PARAMETER! - ΛΑΘΟΣ ΠΑΡΑΜΕΤΡΟΣ ΤΙΜΗΣ! "},
    {1027, "YOU HAVE NOT SET A UNIT PRICE! - ΔΕΝ ΕΧΕΤΕ ΟΡΙΣΕΙ ΤΙΜΗ ΜΟΝΑΔΟΣ! "},
    {1028, "WRONG QUANTITY PARAMETER! - ΛΑΘΟΣ ΠΑΡΑΜΕΤΡΟΣ ΠΟΣΟΤΗΤΑΣ! "},
    {1029, "YOU MUST GIVE THE QUANTITY! - ΠΡΕΠΕΙ ΝΑ ΔΩΣΕΤΕ ΤΗΝ ΠΟΣΟΤΗΤΑ! "},
    {1030, "YOU KILLED A VERY LARGE NUMBER! - ΠΛΗΚΤΡΟΛΟΓΗΣΑΤΕ ΠΟΛΥ ΜΕΓΑΛΟ ΑΡΙΘΜΟ! "},
    {1031, "SUPERVISOR APPROVAL IS REQUIRED! - ΑΠΑΙΤΕΙΤΑΙ H ΕΓΚΡΙΣΗ ΕΠΟΠΤΗ! "},
    {1032, "EXCEEDING THE LIMIT OF PROOF TOTAL! - ΥΠΕΡΒΑΣΗ ΟΡΙΟΥ ΣΥΝΟΛΟΥ ΑΠΟΔΕΙΞΗΣ! "},
    {1033, "THE QUANTITY HAD TENS DIGITS! - Η ΠΟΣΟΤΗΤΑ ΕΙΧΕ ΔΕΚΑΔΙΚΑ ΨΗΦΙΑ! "},
    {1041, "UNKNOWN CASHIER CODE - OPERATOR! - ΑΓΝΩΣΤΟΣ ΚΩΔΙΚΟΣ ΤΑΜΙΑ - ΧΕΙΡΙΣΤΗ! "},
    {1042, "WRONG HIDDEN PIN CODE! - ΛΑΘΟΣ ΚΡΥΦΟΣ ΚΩΔΙΚΟΣ PIN! "},
    {1043, "YOU HAVE NOT SET AN OPERATOR CODE! - ΔΕΝ ΕΧΕΤΕ ΟΡΙΣΕΙ ΚΩΔΙΚΟ ΧΕΙΡΙΣΤΗ! "},
    {1051, "UNKNOWN CUSTOMER CODE! - ΑΓΝΩΣΤΟΣ ΚΩΔΙΚΟΣ ΠΕΛΑΤΗ! "},
    {1052, "YOU HAVE NOT SET A CUSTOMER CODE! - ΔΕΝ ΕΧΕΤΕ ΟΡΙΣΕΙ ΚΩΔΙΚΟ ΠΕΛΑΤΗ! "},
    {1053, "DIFFERENT FROM THE EXISTING CUSTOMER TIN! - ΔΙΑΦΕΡΕΙ ΑΠΟ ΤΟ ΥΠΑΡΧΟΝ ΑΦΜ ΠΕΛΑΤΗ! "},
    {1061, "LESS SALES FROM CHANGES! - ΛΙΓΟΤΕΡΕΣ ΠΩΛΗΣΕΙΣ ΑΠΟ ΑΛΛΑΓΕΣ! "},
    {1062, "THE PROOF HAS MANY MOVEMENTS! - Η ΑΠΟΔΕΙΞΗ ΕΧΕΙ ΠΟΛΛΕΣ ΚΙΝΗΣΕΙΣ! "},
    {1063, "MANY PROOFS, TAKE * Z * DAY! - ΠΟΛΛΕΣ ΑΠΟΔΕΙΞΕΙΣ, ΠΑΡΤΕ *Ζ* ΗΜΕΡΑΣ! "},
    {1064, "WRONG ON ALL OTHER TIMES! - ΛΑΘΟΣ ΣΤΟ ΣΥΝΟΛΟ ΑΛΛΩΝ ΦΟΡΩΝ! "},
    {1071, "NO ANSWER FROM THE SCALE! - ΚΑΜΜΙΑ ΑΠΑΝΤΗΣΗ ΑΠΟ ΤΗ ΖΥΓΑΡΙΑ! "},
    {1072, "NO ANSWER FROM PLU SERVER! - ΚΑΜΜΙΑ ΑΠΑΝΤΗΣΗ ΑΠΟ ΤΟΝ PLU SERVER! "},
    {1073, "WRONG ANSWER FROM PLU SERVER! - ΛΑΘΟΣ ΑΠΑΝΤΗΣΗ ΑΠΟ ΤΟΝ PLU SERVER! "},
    {1074, "ERROR IN THE BASE TYPE (TEMPLATE)! - ΛΑΘΟΣ ΣΤΟ ΕΙΔΟΣ ΒΑΣΗΣ (TEMPLATE)! "},
    {1101, "PRODUCT CODE (PLU) WAS NOT FOUND! - Ο ΚΩΔΙΚΟΣ ΕΙΔΟΥΣ (PLU) ΔΕ ΒΡΕΘΗΚΕ! "},
    {1102, "TRANSACTION IS NOT ALLOWED! - Η ΣΥΝΑΛΛΑΓΗ ΔΕΝ ΕΠΙΤΡΕΠΕΤΑΙ! "},
    {1103, "PROHIBITED AFTER PAYMENTS! - ΑΠΑΓΟΡΕΥΤΑΙ ΜΕΤΑ ΑΠΟ ΠΛΗΡΩΜΕΣ! "},
    {1104, "SALES ARE PROHIBITED! - ΑΠΑΓΟΡΕΥΟΝΤΑΙ ΟΙ ΠΩΛΗΣΕΙΣ! "},
    {1105, "CHANGES / RETURNS ARE PROHIBITED! - ΑΠΑΓΟΡΕΥΟΝΤΑΙ ΟΙ ΑΛΛΑΓΕΣ/ΕΠΙΣΤΡΟΦΕΣ! "},
    {1106, "THE OTHER STOCK OF THE ITEMS IS LOW! - ΤΟ ΥΠΟΛΟΙΠΟ ΣΤΟΚ ΤΟΥ ΕΙΔΟΥΣ ΕΙΝΑΙ ΧΑΜΗΛΟ! "},
    {1107, "PRICE CHANGE IS PROHIBITED! - ΑΠΑΓΟΡΕΥΕΤΑΙ Η ΑΛΛΑΓΗ ΤΙΜΗΣ! "},
    {1108, "STOCK MODIFICATION IS PROHIBITED! - ΑΠΑΓΟΡΕΥΕΤΑΙ Η ΤΡΟΠΟΠΟΙΗΣΗ ΣΤΟΚ! "},
    {1109, "YOU MUST NOT GIVE QUANTITY OF ITEMS! - ΔΕΝ ΠΡΕΠΕΙ ΝΑ ΔΩΣΕΤΕ ΠΟΣΟTHTA ΕΙΔΟΥΣ! "},
    {1110, "YOU MUST NOT GIVE TIMH FOR STOCK! - ΔΕΝ ΠΡΕΠΕΙ ΝΑ ΔΩΣΕΤΕ TIMH ΓΙΑ ΣΤΟΚ! "},
    {1111, "CONFLICTED COMMAND PARAMETERS! - ΑΝΤΙΚΡΟΥΟΜΕΝΕΣ ΠΑΡΑΜΕΤΡΟΙ ΕΝΤΟΛΗΣ! "},
    {1141, "PAYMENT CODE IS UNKNOWN! - Ο ΚΩΔΙΚΟΣ ΠΛΗΡΩΜΗΣ ΕΙΝΑΙ ΑΓΝΩΣΤΟΣ! "},
    {1142, "THE USE OF THIS PAYMENT IS PROHIBITED! - ΑΠΑΓΟΡΕΥΕΤΑΙ Η ΧΡΗΣΗ ΑΥΤΗΣ ΤΗΣ ΠΛΗΡΩΜΗΣ! "},
    {1143, "ADVANCE ADVANCE PROHIBITION IS PROHIBITED! - ΑΠΑΓΟΡΕΥΕΤΑΙ Η ΕΙΣΠΡ.ΠΡΟΚΑΤΑΒΟΛΗΣ! "},
    {1144, "EXCHANGE EXCHANGE IS PROHIBITED! - ΑΠΑΓΟΡΕΥΕΤΑΙ Η ΑΛΛΑΓΗ ΙΣΟΤΙΜΙΑΣ! "},
    {1145, "YOU NEED TO GIVE AN AMOUNT OF PAYMENT - ΧΡΕΙΑΖΕΤΑΙ NA ΔΩΣΕΤΕ ΠΟΣΟ ΠΛΗΡΩΜΗΣ "},
    {1146, "YOU MUST NOT GIVE AMOUNT OF PAYMENT! - ΔΕΝ ΠΡΕΠΕΙ ΝΑ ΔΩΣΕΤΕ ΠΟΣΟ ΠΛΗΡΩΜΗΣ! "},
    {1147, "WRONG PAYMENT RATES! - ΛΑΘΟΣ ΙΣΟΤΙΜΙΑ ΠΛΗΡΩΜΗΣ! "},
    {1148, "THEY CANNOT BE GIVEN REST! - ΔΕΝ ΜΠΟΡΟΥΝ ΝΑ ΔΟΘΟΥΝ ΡΕΣΤΑ! "},
    {1149, "VERY LARGE AMOUNT OF PAYMENT! - ΠΟΛΥ ΜΕΓΑΛΟ ΠΟΣΟ ΠΛΗΡΩΜΗΣ! "},
    {1150, "THE RESULT IS ZERO! - TO ΑΠΟΤΕΛΕΣΜΑ ΕΙΝΑΙ ΜΗΔΕΝΙΚΟ! "},
    {1151, "CREDIT IN ANAL / ESPR. AGAINST! - ΠΙΣΤΩΣΗ ΣΕ ΔΕΛΤΙΟ ΑΝΑΛ/ΕΙΣΠΡ. ΕΝΑΝΤΙ! "},
    {1152, "YOU MUST CHOOSE \"CREDIT\"! - ΠΡΕΠΕΙ ΝΑ ΕΠΙΛΕΞΕΤΕ \"ΠΙΣΤΩΣΗ\"! "},
    {1153, "EXCLUSION OF CUSTOMER CREDIT LIMIT EXCEEDED! - ΥΠΕΡΒΑΣΗ ΟΡΙΟΥ ΣΥΝ.ΠΙΣΤΩΣΗΣ ΠΕΛΑΤΗ! "},
    {1154, "YOUR CUSTOMER DEBT IS ZERO! - ΤΟ ΧΡΕΟΣ TOY ΠΕΛΑΤΗ ΕΙΝΑΙ ΜΗΔΕΝ! "},
    {1155, "CLOSE THE PROOF WITH \"CREDIT\"! - ΚΛΕΙΣΤΕ ΤΗΝ ΑΠΟΔΕΙΞΗ ΜΕ \"ΠΙΣΤΩΣΗ\"! "},
    {1181, "UNKNOWN DISCOUNT - INCREASE CODE! - ΑΓΝΩΣΤΟΣ ΚΩΔΙΚΟΣ ΕΚΠΤΩΣΗΣ - ΑΥΞΗΣΗΣ! "},
    {1182, "USE OF THIS INCREASE IS PROHIBITED! - ΑΠΑΓΟΡΕΥΕΤΑΙ ΧΡΗΣΗ ΑΥΤΗΣ ΤΗΣ ΑΥΞΗΣΗΣ! "},
    {1183, "USE OF THIS DISCOUNT IS PROHIBITED! - ΑΠΑΓΟΡΕΥΕΤΑΙ ΧΡΗΣΗ ΑΥΤΗΣ ΤΗΣ ΕΚΠΤΩΣΗΣ! "},
    {1184, "WRONG PARAMETER AMOUNT! - ΛΑΘΟΣ ΠΑΡΑΜΕΤΡΟΣ ΠΟΣΟY! "},
    {1185, "YOU MUST GIVE THE AMOUNT! - ΠΡΕΠΕΙ ΝΑ ΔΩΣΕΤΕ TO ΠΟΣΟ! "},
    {1186, "CHANGE OF AMOUNT STATION IS PROHIBITED! - ΑΠΑΓΟΡΕΥΕΤΑΙ Η ΑΛΛΑΓΗ ΣΤΑθ.ΠΟΣΟΥ! "},
    {1187, "PERCENTAGE CHANGE IS PROHIBITED! - ΑΠΑΓΟΡΕΥΕΤΑΙ Η ΑΛΛΑΓΗ ΠΟΣΟΣΤΟΥ! "},
    {1188, "ERROR PERCENTAGE OF PERCENTAGE%! - ΛΑΘΟΣ ΠΑΡΑΜΕΤΡΟΣ ΠΟΣΟΣΤΟΥ %! "},
    {1189, "YOU MUST GIVE THE PERCENTAGE%! - ΠΡΕΠΕΙ ΝΑ ΔΩΣΕΤΕ TO ΠΟΣΟΣΤΟ %! "},
    {1190, "MULTIPLICATION IS PROHIBITED! - ΑΠΑΓΟΡΕΥΕΤΑΙ Ο ΠΟΛΛΑΠΛΑΣΙΑΣΜΟΣ! "},
    {1191, "VERY BIG DISCOUNT! - ΠΟΛΥ ΜΕΓΑΛΗ ΕΚΠΤΩΣΗ! "},
    {1192, "ONLY AFTER SOME SETS! - ΜΟΝΟ ΜΕΤΑ ΑΠΟ ΜΕΡΙΚΟ ΣΥΝΟΛΟ! "},
    {1193, "PROHIBITED AFTER SOME SETS! - ΑΠΑΓΟΡΕΥΕΤΑΙ ΜΕΤΑ AΠΟ ΜΕΡΙΚΟ ΣΥΝΟΛΟ! "},
    {1194, "DISCOUNTS / INCREASES ONLY ON SALES! - ΕΚΠΤΩΣΕΙΣ/ΑΥΞΗΣΕΙΣ ΜΟΝΟ ΣΕ ΠΩΛΗΣΕΙΣ! "},
    {1221, "COMMENT CODE WAS NOT FOUND! - Ο ΚΩΔΙΚΟΣ ΣΧΟΛΙΟΥ ΔΕ ΒΡΕΘΗΚΕ! "},
    {1231, "GAME CODE IS UNKNOWN! - Ο ΚΩΔΙΚΟΣ ΠΑΙΧΝΙΔΙΟΥ ΕΙΝΑΙ ΑΓΝΩΣΤΟΣ! "},
    {1241, "THE LAST REGISTRATION IS NOT DELETED! - Η ΤΕΛΕΥΤΑΙΑ ΕΓΓΡΑΦΗ ΔΕ ΔΙΑΓΡΑΦΕΤΑΙ! "},
    {1242, "YOU MUST ISSUE * G * DAY FIRST! - ΠΡΕΠΕΙ ΝΑ ΕΚΔΟΣΕΤΕ *Ζ* ΗΜΕΡΑΣ ΠΡΩΤΑ! "},
    {1243, "THERE ARE TWO SAME VAT RATES! - ΥΠΑΡΧOYN ΔΥΟ ΙΔΙΟΙ ΣΥΝΤΕΛΕΣΤΕΣ ΦΠΑ! "},
    {1244, "THE TECHNICIAN LOCK NUMBER IS WRONG - O ΚΛΕΙΔΑΡΙΘΜΟΣ ΤΕΧΝΙΚΟΥ EINAI ΛΑΘΟΣ "},
    {1251, "BREAK POINT 1 - BREAK POINT 1 "},
}};
// clang-format on

constexpr bool CodesAscendUniquely() {
  return std::adjacent_find(kIBoxErrorMessages.begin(), kIBoxErrorMessages.end(),
                            [](const tkIBoxErrorMessage& a, const tkIBoxErrorMessage& b) {
                              return a.Code >= b.Code;
                            }) == kIBoxErrorMessages.end();
}
static_assert(CodesAscendUniquely(), "the lookup relies on ascending, unique codes");

}  // namespace

std::span<const tkIBoxErrorMessage> IBoxErrorTable() { return kIBoxErrorMessages; }

std::string IBoxErrorText(int32_t code) {
  const auto found = std::lower_bound(
      kIBoxErrorMessages.begin(), kIBoxErrorMessages.end(), code,
      [](const tkIBoxErrorMessage& entry, int32_t key) { return entry.Code < key; });
  if (found != kIBoxErrorMessages.end() && found->Code == code) {
    return std::string(found->Message);
  }
  return std::string(kIBoxUnknownErrorText);
}

}  // namespace nvrp
