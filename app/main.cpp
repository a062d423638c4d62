#include "app/Unit1.h"
#include "app/sessionend.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Horavis");
    TForm1 form(QString(), TDiskUse::On);
    const TSessionEnd sessionEnd([&form] { form.endSession(); });
    form.show();
    return QApplication::exec();
}
