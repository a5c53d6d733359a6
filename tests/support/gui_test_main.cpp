// main() of the widget tests: the application object the widgets need, then the tests.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  // Test discovery runs the binary without the test environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
