#include "app/MainWidget.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    answerInformationOptions(argc, argv);
    QApplication app(argc, argv);
    prepareApplication(app);

    MainWidget window;
    window.show();
    return app.exec();
}
