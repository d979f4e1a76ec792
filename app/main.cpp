#include "app/CDorvexApp.h"
#include "platform/FontPreload.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // First of all: the font reading runs beside the toolkit's own start.
    vantor::FontPreload fonts;
    QApplication application(argc, argv);
    vantor::CDorvexApp app({}, {}, &fonts);
    if (!app.InitInstance())
        return 1;
    return app.Run();
}
