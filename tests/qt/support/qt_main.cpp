// The main of every Qt test program: one QApplication for all tests, then GoogleTest. The tests
// run on Qt's offscreen platform unless QT_QPA_PLATFORM names another, so they need no screen
// (ctest sets it too; the build lists the tests by running the programs without it).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
