#include "resources/StringTable.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vantor {
namespace {

struct StringEntry {
    int id;
    std::string_view text;
};

// Sorted by id for the binary search in LoadStringUtf8.
constexpr std::array kStrings = std::to_array<StringEntry>({
    {100, "OLE 初始化失敗。請確認 OLE 程式庫的版本是否正確。"},
    {104, "Windows 通訊端安裝失敗。"},
    {128, "Vantor Config V1.30"},
    {32772, "Search all device again。\nRefresh"},
    {32780, "Modify IP which selects device。\nModify IP"},
    {32781, "Modify MAC which selects device。\nModify MAC"},
    {32782, "Open web which selects device。\nWeb Browser"},
    {32783, "Soft Reset which selects device。\nSoft Reset"},
    {32814, "Update Firmware which selects device。\nUpdate Firmware"},
    {40000, "Device Name"},
    {40001, "IP Address"},
    {40002, "Subnet Mask"},
    {40003, "Gateway IP"},
    {40004, "MAC"},
    {40005, "ID Number"},
    {40006, "Version"},
    {40007, "Online"},
    {40008, "Arbel"},
    {40009, "Brisa"},
    {40010, "Corvo"},
    {40011, "Dacor"},
    {40012, "Unknown"},
    {40013, "Elvan"},
    {40014, "Fenna"},
    {40015, "Garro"},
    {40016, "Helvo"},
    {40017, "Ivren"},
    {40018, "Jasko"},
    {40019, "Kelno"},
    {40020, "Lumo"},
    {40021, "Marven"},
    {40022, "Orvik"},
    {40100, "Socket port '\n' Open fail ！"},
    {57344, "Dorvex"},
    {57345, "Ready"},
    {57664, "Show the information of the procedure and version number\nAbout"},
    {57665, "Exit the application program\nExit"},
    {59137, "CAP"},
    {59138, "NUM"},
    {59139, "SCRL"},
    {59392, "Show or hide the toolbar\nSwitch toolbar"},
    {59393, "Show or hide the status bar\nSwitch status bar"},
    {59397, "Auto arrange。"},
});

constexpr bool IsSortedById()
{
    for (std::size_t i = 1; i < kStrings.size(); ++i)
        if (kStrings[i - 1].id >= kStrings[i].id)
            return false;
    return true;
}
static_assert(IsSortedById(), "the string table must stay sorted by id");

}  // namespace

std::optional<std::string_view> LoadStringUtf8(int id)
{
    const auto it = std::lower_bound(kStrings.begin(), kStrings.end(), id,
                                     [](const StringEntry& entry, int key) { return entry.id < key; });
    if (it == kStrings.end() || it->id != id)
        return std::nullopt;
    return it->text;
}

QString LoadString(int id)
{
    const auto text = LoadStringUtf8(id);
    return text ? QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())) : QString();
}

QString CommandPrompt(int commandId)
{
    const QString text = LoadString(commandId);
    const auto lineFeed = text.indexOf(QLatin1Char('\n'));
    return lineFeed < 0 ? text : text.left(lineFeed);
}

QString CommandTooltip(int commandId)
{
    const QString text = LoadString(commandId);
    const auto lineFeed = text.indexOf(QLatin1Char('\n'));
    return lineFeed < 0 ? QString() : text.mid(lineFeed + 1);
}

}  // namespace vantor
