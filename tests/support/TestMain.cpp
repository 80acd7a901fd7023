// main() of every test program: an offscreen Qt application around GoogleTest. Programs whose
// code draws get a widget application; the others link no widgets at all.
#include <gtest/gtest.h>
#ifdef VISTREL_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif
#include <QDir>
#include <QThread>
#include <QThreadPool>

namespace {

qsizetype ThreadCount() {
    return QDir(QStringLiteral("/proc/self/task"))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
        .size();
}

// Qt paints and converts large pictures on its global thread pool. A pool thread still ending
// when the process exits holds its thread data only in its own thread-local storage, which the
// leak check at exit then reports as lost: so the program ends only after those threads have.
void EndPoolThreads(qsizetype threadsBefore) {
    QThreadPool::globalInstance()->waitForDone();
    for (int wait = 0; wait < 100 && ThreadCount() > threadsBefore; ++wait)
        QThread::msleep(2);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    const qsizetype threadsBefore = ThreadCount();
    const int result = RUN_ALL_TESTS();
    EndPoolThreads(threadsBefore);
    return result;
}
