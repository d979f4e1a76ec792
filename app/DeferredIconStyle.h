#pragma once

#include <QProxyStyle>

namespace vantor {

// The application's style: the one Qt would choose by itself, except that the pictures of the
// overflow buttons of menu bars and toolbars are read only when such a button is first drawn.
// Every menu bar and toolbar makes its overflow button when it is made, and reading those
// pictures at once costs start-up a look at every image-format plugin, although the buttons show
// only in a window too narrow for its menus or toolbar buttons.
class DeferredIconStyle final : public QProxyStyle {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DeferredIconStyle)

public:
    DeferredIconStyle();
    ~DeferredIconStyle() override;

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

    // Makes this style the application's, unless it already is. Needs a QApplication.
    static void Install();
};

}  // namespace vantor
