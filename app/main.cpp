#include "app/CDorvexApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    vantor::CDorvexApp app;
    if (!app.InitInstance())
        return 1;
    return app.Run();
}
