#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

namespace {

// Sockets and serial ports want an application object on the thread that uses them.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    // Every wait of the exchange layer at a fifth: a 2 s lost reply costs 400 ms. Read once,
    // before the first exchange.
    qputenv("TESSALY_TIME_SCALE", "0.2");
    if (QCoreApplication::instance() == nullptr) {
      app_ = std::make_unique<QCoreApplication>(argc_, argv_);
    }
  }
  // Gone before exit: destroying it from gtest's own exit-time cleanup runs after Qt's globals.
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[10] = "test_comm";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QCoreApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
