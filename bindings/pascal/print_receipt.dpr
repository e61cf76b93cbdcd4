{ Prints one fiscal receipt through NVRP_RORERER_10: OPEN, PRINTFR, CLOSE.
  Usage: print_receipt ADDRESS PORT
  The payment codes come from NVRP_RORERER_10.ini in the host folder (the program's own
  folder, or NVRP_HOST_DIR): copy it there first. Build: fpc -Mdelphi print_receipt.dpr }
program print_receipt;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$APPTYPE CONSOLE}

uses SysUtils, NVRP_RORERER_10;

const
  Receipt =
    '<Receipt><Type>Sale</Type><Lines>' +
    '<ProductSale><Description>Freddo Espresso</Description><Quantity>2</Quantity>' +
    '<Department>1</Department><Price>2.50</Price><Amount>5.00</Amount></ProductSale>' +
    '<ProductSale><Description>Spanakopita</Description><Quantity>1</Quantity>' +
    '<Department>2</Department><Price>3.20</Price><Amount>3.20</Amount></ProductSale>' +
    '</Lines><Taxes/><Payments>' +
    '<Payment><Type>Cash</Type><Amount>5.00</Amount></Payment>' +
    '<Payment><Type>CreditCard</Type><Amount>3.20</Amount></Payment>' +
    '</Payments></Receipt>';

function Envelope(const aHandle: string; const aBody: UnicodeString): UnicodeString;
begin
  Result := '<Request><Driver>' + NvrpDriver + '</Driver><Handle>' + UnicodeString(aHandle) +
    '</Handle><LogId>pascal</LogId><Parameters><GetReceiptText>true</GetReceiptText>' +
    '</Parameters>' + aBody + '</Request>';
end;

{ The text of a fragment's element aName, empty when it has none. }
function ElementText(const aFragment, aName: UnicodeString): UnicodeString;
var
  start, finish: Integer;
begin
  Result := '';
  start := Pos('<' + aName + '>', aFragment);
  if start = 0 then Exit;
  start := start + Length(aName) + 2;
  finish := Pos('</' + aName + '>', aFragment);
  if finish > start then Result := Copy(aFragment, start, finish - start);
end;

{ Sends one command, prints its answer and stops the program when it answers -1. }
function Send(const aCommand: string; const aRequest: UnicodeString): UnicodeString;
var
  output, errorText: UnicodeString;
  code: SmallInt;
begin
  code := NvrpCall(aCommand, aRequest, output, errorText);
  WriteLn(aCommand, ': ', code);
  WriteLn(UTF8Encode(output));
  Result := output;
  if code <> 0 then
  begin
    WriteLn('Error: ', UTF8Encode(errorText));
    Halt(1);
  end;
end;

var
  opened, printed, handle: UnicodeString;
begin
  if ParamCount <> 2 then
  begin
    WriteLn('Usage: print_receipt ADDRESS PORT');
    Halt(2);
  end;
  opened := Send('OPEN', Envelope('0', '<Connection><Type>http</Type><Address>' +
    UnicodeString(ParamStr(1)) + '</Address><Port>' + UnicodeString(ParamStr(2)) +
    '</Port><ConnectTimeout>10</ConnectTimeout><ReadTimeout>60</ReadTimeout></Connection>'));
  handle := ElementText(opened, 'Handle');
  printed := Send('PRINTFR', Envelope(string(handle), Receipt));
  WriteLn('Receipt ', UTF8Encode(ElementText(printed, 'ReceiptNumber')), ' printed');
  Send('CLOSE', Envelope(string(handle), ''));
end.
