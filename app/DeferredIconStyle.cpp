#include "app/DeferredIconStyle.h"

#include "resources/DeferredIconEngine.h"

#include <QApplication>
#include <QPointer>
#include <QStyleOption>

namespace vantor {

DeferredIconStyle::DeferredIconStyle() = default;  // the base is the style Qt would choose

DeferredIconStyle::~DeferredIconStyle() = default;

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                      const QWidget* widget) const
{
    if (standardIcon != SP_ToolBarHorizontalExtensionButton && standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);

    // The pictures depend only on the layout direction and the style: keep the direction the
    // caller means now, and this style through a guard, falling back on whatever style the
    // application has by then should this one be gone.
    QStyleOption direction;
    direction.direction = option != nullptr ? option->direction : QGuiApplication::layoutDirection();
    const QPointer<const DeferredIconStyle> self(this);
    return QIcon(new DeferredIconEngine([self, standardIcon, direction] {  // the icon owns its engine
        return self ? self->QProxyStyle::standardIcon(standardIcon, &direction, nullptr)
                    : QApplication::style()->standardIcon(standardIcon, &direction, nullptr);
    }));
}

void DeferredIconStyle::Install()
{
    // The application owns its style as a child object; finding ours there needs no style to be
    // made first.
    if (qApp->findChild<DeferredIconStyle*>(QString(), Qt::FindDirectChildrenOnly) == nullptr)
        QApplication::setStyle(new DeferredIconStyle);  // the application takes ownership
}

}  // namespace vantor
