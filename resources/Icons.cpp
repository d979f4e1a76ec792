#include "resources/Icons.h"

#include "resources/SvgIconEngine.h"

#include <algorithm>
#include <mutex>

// Q_INIT_RESOURCE declares the registration function in the enclosing namespace, so it has to
// be used outside namespace vantor.
static void RegisterVantorArtwork()
{
    Q_INIT_RESOURCE(resources);
}

namespace vantor {
namespace {

constexpr std::array kToolbarCommands = {32772, 32780, 32781, 32782, 32783, 32814, 57664};
constexpr std::array kIconIds = {128, 147, 151, 153, 155, 157, 158};

template <std::size_t N>
bool Contains(const std::array<int, N>& ids, int id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

QIcon MakeIcon(const QString& path)
{
    if (path.isEmpty())
        return {};
    InitResources();
    return QIcon(new SvgIconEngine(path));  // the icon owns its engine
}

}  // namespace

void InitResources()
{
    static std::once_flag once;
    std::call_once(once, [] { RegisterVantorArtwork(); });
}

QString ToolbarIconPath(int commandId)
{
    if (!Contains(kToolbarCommands, commandId))
        return {};
    return QStringLiteral(":/vantor/toolbar/%1.svg").arg(commandId);
}

QString IconPath(int iconId)
{
    if (!Contains(kIconIds, iconId))
        return {};
    return QStringLiteral(":/vantor/icon/%1.svg").arg(iconId);
}

QIcon ToolbarIcon(int commandId)
{
    return MakeIcon(ToolbarIconPath(commandId));
}

QIcon AppIcon()
{
    return MakeIcon(IconPath(128));
}

QIcon ListIcon(int iconId)
{
    return MakeIcon(IconPath(iconId));
}

}  // namespace vantor
