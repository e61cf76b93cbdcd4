#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/nv_exception.hpp"
#include "transport/io_handler_com.hpp"
#include "transport/io_handler_dll.hpp"
#include "transport_log.hpp"

namespace nvrp {
namespace {

using testing::ContainsRun;
using testing::LogEntries;

class DllHandlerTest : public testing::TransportLogTest {
 protected:
  std::unique_ptr<kIOHandler_Dll> Handler(const std::string& aLibrary) {
    kConnection connection;
    connection.SetLibraryName(aLibrary);
    return std::make_unique<kIOHandler_Dll>(&connection, fDirectory, kLogName);
  }
};

TEST_F(DllHandlerTest, LoadsTheLibraryAndHandsOutItsFunctions) {
  auto handler = Handler(NVRP_TEST_TRANSPORT_PLUGIN);
  using Answer = int (*)(int);
  const auto answer = reinterpret_cast<Answer>(handler->GetAddress("nvrp_transport_plugin_answer"));
  EXPECT_EQ(answer(20), 41);
  try {
    handler->GetAddress("missing_function");
    ADD_FAILURE() << "found a missing function";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "Unable to get address for procedure missing_function");
  }
  EXPECT_TRUE(handler->Connect());
  EXPECT_TRUE(handler->Connected());
  EXPECT_TRUE(handler->Write("ignored"));
  EXPECT_EQ(handler->ReadChars(3), "");
  EXPECT_EQ(handler->ReadUpTo({3}), "");
  EXPECT_THROW(handler->ReadAll(), Exception);
  EXPECT_TRUE(handler->Disconnect());

  const std::string file = handler->GetLogFileName();
  handler.reset();
  const auto log = LogEntries(file);
  const std::string path = NVRP_TEST_TRANSPORT_PLUGIN;
  EXPECT_TRUE(ContainsRun(log, {"I:kIOHandler_Dll.Create:Loading DLL " + path,
                                "I:kIOHandler_Dll.Create:DLL Loaded successfully"}))
      << ::testing::PrintToString(log);
  EXPECT_TRUE(ContainsRun(log, {"I:kIOHandler_Dll.Destroy:Unloading DLL",
                                "I:kIOHandler_Dll.Destroy:DLL Unloaded Successfully"}))
      << ::testing::PrintToString(log);
}

TEST_F(DllHandlerTest, MissingLibraryNamesTheSystemsReason) {
  const std::string missing = fDirectory + "/no_such_plugin.so";
  try {
    Handler(missing);
    ADD_FAILURE() << "loaded a missing library";
  } catch (const Exception& error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind("Unable to Load Library " + missing + ". ", 0), 0u) << message;
    EXPECT_NE(message.find(testing::MissingLibraryReason()), std::string::npos) << message;
    EXPECT_THAT(message, ::testing::EndsWith(" [" + testing::kMissingLibraryCode + "]"));
  }
  try {
    Handler("");
    ADD_FAILURE() << "loaded a library without a name";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "Unable to Load Library . No library name was given. [0]");
  }
}

TEST(ComHandler, IsAPlaceholderThatSendsNothing) {
  kIOHandler_Com handler(nullptr, "", "");
  EXPECT_TRUE(handler.Connect());
  EXPECT_TRUE(handler.Connected());
  EXPECT_FALSE(handler.Write("x"));
  EXPECT_EQ(handler.ReadChars(1), "");
  EXPECT_EQ(handler.ReadUpTo({3}), "");
  EXPECT_EQ(handler.DecodeError(5), "");
  EXPECT_EQ(handler.ClassName(), "kIOHandler_Com");
  for (const std::function<void()>& call :
       {std::function<void()>([&] { handler.ReadAll(); }),
        std::function<void()>([&] { handler.InputBufferContainsData(); })}) {
    EXPECT_THROW(call(), Exception);
  }
  EXPECT_TRUE(handler.Disconnect());
}

}  // namespace
}  // namespace nvrp
