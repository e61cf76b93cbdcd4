// Concurrent callers of the production library: several threads printing receipts on one handle
// and on several handles of one device, while others ask for the status and open and close
// devices. The library serves them one at a time: no crash, and every success is one receipt
// on the device with its own number and amount.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ibox_simulator.hpp"
#include "support/export_test.hpp"

namespace nvrp {
namespace {

namespace sim = ibox_sim;

// One item at aCents hundredths, paid in cash.
std::string ReceiptOf(int aCents) {
  const std::string price = std::to_string(aCents / 100) + "." + std::to_string(aCents % 100 / 10) +
                            std::to_string(aCents % 10);
  return "<Receipt><Type>Sale</Type><Lines><ProductSale><Description>Item</Description>"
         "<Quantity>1</Quantity><Department>1</Department><Price>" +
         price + "</Price><Amount>" + price +
         "</Amount></ProductSale></Lines><Taxes/><Payments><Payment><Type>Cash</Type><Amount>" +
         price + "</Amount></Payment></Payments></Receipt>";
}

// Devices opened and closed from several threads at once: the tests keep their own handles.
class Concurrency : public testing::ExportTest {
 protected:
  Concurrency() : ExportTest("concurrency") { UseSimulator(fSimulator); }

  void SetUp() override { fSimulator.Start(); }

  std::string Envelope(int32_t aHandle, const std::string& aBody = "") const {
    return DeviceRequest(aHandle, ConnectionXml() + "<Parameters/>" + aBody);
  }

  int32_t Open() const {
    const Answer open = Library().Call("OPEN", Envelope(0));
    return open.result == 0 ? std::atoi(FragmentElement(open.output, "Handle").c_str()) : 0;
  }

  bool Close(int32_t aHandle) const {
    return Library().Call("CLOSE", Envelope(aHandle)).result == 0;
  }

  sim::IboxSimulator fSimulator;
};

TEST_F(Concurrency, CallersAreServedOneAtATimeAndEverySuccessIsOneReceipt) {
  constexpr int kPrintersPerHandle = 2;
  constexpr int kReceiptsPerThread = 6;
  const int32_t handles[] = {Open(), Open()};
  ASSERT_GT(handles[0], 0);
  ASSERT_GT(handles[1], 0);

  std::mutex mutex;
  std::map<int, int> centsByNumber;  // receipt number -> amount, from the answers
  int failures = 0;
  int duplicates = 0;
  std::vector<std::thread> threads;
  for (int h = 0; h < 2; ++h) {
    for (int p = 0; p < kPrintersPerHandle; ++p) {
      threads.emplace_back([&, h, p] {
        for (int i = 0; i < kReceiptsPerThread; ++i) {
          const int cents = 100 * (h * kPrintersPerHandle + p + 1) + i + 1;
          const Answer answer = Library().Call("PRINTFR", Envelope(handles[h], ReceiptOf(cents)));
          std::lock_guard lock(mutex);
          if (answer.result != 0) {
            ++failures;
            continue;
          }
          const int number = std::atoi(FragmentElement(answer.output, "ReceiptNumber").c_str());
          if (!centsByNumber.emplace(number, cents).second) ++duplicates;
        }
      });
    }
  }
  // Status readers and a device opened and closed again and again, beside the printers.
  threads.emplace_back([&] {
    for (int i = 0; i < 10; ++i) Library().Call("GETSTATUS", Envelope(handles[i % 2]));
  });
  threads.emplace_back([&] {
    for (int i = 0; i < 5; ++i) {
      const int32_t handle = Open();
      if (handle > 0) Close(handle);
    }
  });
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(failures, 0);
  EXPECT_EQ(duplicates, 0);
  std::map<int, int> printedByNumber;
  for (const sim::PrintedDocument& document : fSimulator.Printed()) {
    if (document.kind == sim::PrintedKind::kReceipt) {
      printedByNumber.emplace(document.number, static_cast<int>(document.total));
    }
  }
  EXPECT_EQ(static_cast<int>(printedByNumber.size()), 2 * kPrintersPerHandle * kReceiptsPerThread);
  EXPECT_EQ(centsByNumber, printedByNumber);
  EXPECT_TRUE(Close(handles[0]));
  EXPECT_TRUE(Close(handles[1]));
}

}  // namespace
}  // namespace nvrp
