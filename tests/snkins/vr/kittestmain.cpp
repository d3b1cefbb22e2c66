// The kit's tests run with one QApplication on the offscreen platform.
#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // a private runtime folder, so that Qt has one of its own
    const QByteArray runtime = QDir::tempPath().toUtf8() + "/ostrel-kit-test-" + QByteArray::number(getpid());
    mkdir(runtime.constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", runtime);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    rmdir(runtime.constData());
    return rc;
}
