#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "base/nv_exception.hpp"
#include "base/text_raster.hpp"
#include "transport/io_handler_spool.hpp"

namespace nvrp {
namespace {

namespace fs = std::filesystem;

TEST(SpoolBitmapPlacement, ScalesToTheResolutionFitsAndCentres) {
  const struct {
    int32_t width, height;
    tkPageGeometry page;
    tkBitmapPlacement expected;
  } cases[] = {
      // 300 dpi: drawn as it is, centred, moved by the offsets.
      {100, 50, {1000, 2000, 10, 20, 300}, {460, 995, 100, 50}},
      // 600 dpi: twice the size.
      {100, 50, {1000, 2000, 0, 0, 600}, {400, 950, 200, 100}},
      // 150 dpi: half the size, truncated.
      {101, 51, {1000, 2000, 0, 0, 150}, {475, 987, 50, 25}},
      // Too wide: shrunk to the printable width.
      {2000, 100, {1000, 2000, 0, 0, 300}, {0, 975, 1000, 50}},
      // Too tall after the width rule: shrunk to the printable height.
      {500, 4000, {1000, 2000, 5, 5, 300}, {380, 5, 250, 2000}},
      // Exactly fitting.
      {1000, 2000, {1000, 2000, 0, 0, 300}, {0, 0, 1000, 2000}},
  };
  for (const auto& c : cases) {
    const tkBitmapPlacement placed = kIOHandler_Spool::PlaceBitmap(c.width, c.height, c.page);
    EXPECT_EQ(placed.fX, c.expected.fX) << c.width << "x" << c.height << "@" << c.page.fDotsPerInch;
    EXPECT_EQ(placed.fY, c.expected.fY) << c.width << "x" << c.height << "@" << c.page.fDotsPerInch;
    EXPECT_EQ(placed.fWidth, c.expected.fWidth) << c.width;
    EXPECT_EQ(placed.fHeight, c.expected.fHeight) << c.height;
  }
}

std::string ReadFile(const fs::path& aPath) {
  std::ifstream file(aPath, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

uint16_t FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

bool Listening(uint16_t aPort) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(aPort);
  const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

// A private CUPS scheduler on a loopback port with one queue, "NVRP_Test_File", that writes
// each job's bytes unchanged (through CUPS's pass-through filter) to a file.
class PrivateCups {
 public:
  PrivateCups() {
    fRoot = fs::temp_directory_path() / ("nvrp_cups_" + std::to_string(getpid()));
    fs::remove_all(fRoot);
    for (const char* dir : {"etc/ppd", "spool", "tmp", "cache", "state", "log", "out"}) {
      fs::create_directories(fRoot / dir);
    }
    fs::permissions(fRoot / "out", fs::perms::all);
    fPort = FreeLoopbackPort();
    WriteConfiguration();
    Start();
  }
  ~PrivateCups() {
    if (fPid > 0) {
      kill(fPid, SIGTERM);
      waitpid(fPid, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove_all(fRoot, ignored);
  }

  bool Running() const { return fRunning; }
  fs::path Output() const { return fRoot / "out" / "job.prn"; }
  // The output file once it holds at least aMinimum bytes (ten seconds at most).
  std::string WaitForOutput(size_t aMinimum) const {
    for (int i = 0; i < 200; ++i) {
      std::error_code error;
      if (fs::exists(Output(), error) && fs::file_size(Output(), error) >= aMinimum) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return ReadFile(Output());
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return ReadFile(Output());
  }
  void ClearOutput() const { fs::remove(Output()); }

 private:
  void Write(const fs::path& aPath, const std::string& aText) const {
    std::ofstream(aPath, std::ios::binary) << aText;
  }
  void WriteConfiguration() const {
    const std::string root = fRoot.string();
    Write(fRoot / "etc/cups-files.conf",
          "ServerRoot " + root + "/etc\nRequestRoot " + root + "/spool\nTempDir " + root +
              "/tmp\nCacheDir " + root + "/cache\nStateDir " + root +
              "/state\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\nErrorLog " + root +
              "/log/error_log\nAccessLog " + root + "/log/access_log\nPageLog " + root +
              "/log/page_log\nFileDevice Yes\nSandboxing Relaxed\n");
    Write(fRoot / "etc/cupsd.conf",
          "Listen 127.0.0.1:" + std::to_string(fPort) +
              "\nLogLevel warn\nWebInterface No\nBrowsing Off\nDefaultAuthType None\n"
              "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
              "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
    Write(fRoot / "etc/printers.conf", "<Printer NVRP_Test_File>\nDeviceURI file://" +
                                           Output().string() +
                                           "\nState Idle\nAccepting Yes\nShared No\n</Printer>\n");
    Write(fRoot / "etc/ppd/NVRP_Test_File.ppd",
          "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
          "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"NVRPTEST.PPD\"\n"
          "*Manufacturer: \"Test\"\n*Product: \"(Test)\"\n*ModelName: \"File\"\n"
          "*ShortNickName: \"File\"\n*NickName: \"File\"\n*PSVersion: \"(3010.000) 0\"\n"
          "*cupsFilter: \"application/vnd.cups-raw 0 gziptoany\"\n"
          "*cupsFilter: \"application/postscript 0 gziptoany\"\n"
          "*OpenUI *PageSize/Media Size: PickOne\n*DefaultPageSize: A4\n*PageSize A4/A4: \"\"\n"
          "*CloseUI: *PageSize\n*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"0 0 595 842\"\n"
          "*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"595 842\"\n");
  }
  void Start() {
    const std::string conf = (fRoot / "etc/cupsd.conf").string();
    const std::string files = (fRoot / "etc/cups-files.conf").string();
    fPid = fork();
    if (fPid == 0) {
      execl(NVRP_CUPSD, NVRP_CUPSD, "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr);
      _exit(127);
    }
    for (int i = 0; i < 200 && !fRunning; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      fRunning = Listening(fPort);
    }
    // The client library reads the server once, on first use in the process.
    setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(fPort)).c_str(), 1);
  }

  fs::path fRoot;
  uint16_t fPort = 0;
  pid_t fPid = -1;
  bool fRunning = false;
};

class SpoolHandlerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::string(NVRP_CUPSD).empty()) return;
    fCups = new PrivateCups();
  }
  static void TearDownTestSuite() {
    delete fCups;
    fCups = nullptr;
  }
  void SetUp() override {
    if (fCups == nullptr) GTEST_SKIP() << "cupsd is not installed (scripts/setup.sh installs cups)";
    ASSERT_TRUE(fCups->Running()) << "the private cupsd did not start";
    fCups->ClearOutput();
  }

  static std::unique_ptr<kIOHandler_Spool> Handler(const std::string& aPrinter) {
    kConnection connection;
    connection.SetPrinterName(aPrinter);
    return std::make_unique<kIOHandler_Spool>(&connection, "", "");
  }

  static PrivateCups* fCups;
};

PrivateCups* SpoolHandlerTest::fCups = nullptr;

TEST_F(SpoolHandlerTest, RawOutputArrivesUnchanged) {
  auto handler = Handler("NVRP_Test_File");
  handler->SetOutputType(tkSpoolOutputType::Raw);
  const std::string bytes("\x1b@receipt\x00\xff\r\n", 13);
  EXPECT_TRUE(handler->WriteBytes(bytes));
  EXPECT_EQ(fCups->WaitForOutput(bytes.size()), bytes);

  fCups->ClearOutput();
  handler->SetCodePage(1253);
  EXPECT_TRUE(handler->Write("\xCE\x91\xCE\xB2 1"));  // Greek in code page 1253
  EXPECT_EQ(fCups->WaitForOutput(4), "\xC1\xE2 1");
  EXPECT_FALSE(handler->ErrorFound());
}

TEST_F(SpoolHandlerTest, MissingPrinterFails) {
  auto handler = Handler("NoSuchPrinter");
  handler->SetOutputType(tkSpoolOutputType::Raw);
  EXPECT_FALSE(handler->Write("x"));
  EXPECT_TRUE(handler->ErrorFound());
  EXPECT_FALSE(handler->ErrorMessage().empty());

  handler->SetOutputType(tkSpoolOutputType::Normal);
  try {
    handler->Write("");
    ADD_FAILURE() << "printed to a missing printer";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "kIOHandler_Spool.WriteNormal: Printer NoSuchPrinter not found");
  }
}

TEST_F(SpoolHandlerTest, BitmapGoesToThePrinterFoundInAnyLetterCase) {
  auto handler = Handler("nvrp_test_FILE");
  EXPECT_EQ(handler->OutputType(), tkSpoolOutputType::Normal);
  EXPECT_FALSE(handler->Write("ignored"));  // no bitmap: nothing printed
  EXPECT_EQ(handler->ErrorMessage(), "kIOHandler_Spool.WriteNormal: No bitmap to print");

  GrayCanvas bitmap(60, 20);
  bitmap.Ink(0, 0, 255);
  handler->SetBitmap(&bitmap);
  handler->ResetCustomError();
  EXPECT_TRUE(handler->Write("ignored"));
  const std::string page = fCups->WaitForOutput(1000);
  EXPECT_EQ(page.rfind("%!PS-Adobe-3.0\n", 0), 0u) << page.substr(0, 200);
  EXPECT_NE(page.find("60 20 8 [60 0 0 -20 0 20]"), std::string::npos);
  EXPECT_NE(page.find("00ffff"), std::string::npos);  // the inked first pixel, then white
  EXPECT_NE(page.find("showpage"), std::string::npos);
}

}  // namespace
}  // namespace nvrp
