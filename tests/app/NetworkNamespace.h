#pragma once

#include <QNetworkInterface>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <set>

namespace vantor::test {

// Whether this process runs in the namespace made by scripts/netns: it holds only these
// interfaces (with "va" possibly taken away by a test, and "ea" and "eb" added by
// tests/cli/two-adapter-lab, whose other ends lead into namespaces of their own).
inline bool InPrivateNetworkNamespace()
{
    const std::set<QString> allowed = {QStringLiteral("lo"), QStringLiteral("va"), QStringLiteral("vb"),
                                       QStringLiteral("ea"), QStringLiteral("eb")};
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    if (interfaces.isEmpty())
        return false;
    for (const QNetworkInterface& interface : interfaces)
        if (allowed.count(interface.name()) == 0)
            return false;
    return true;
}

// Takes the namespace's network away (the veth pair and with it the default route) or brings
// it back as scripts/netns made it. Only ever called inside that namespace.
inline bool RemoveNetwork()
{
    return QProcess::execute(QStringLiteral("ip"),
                             {QStringLiteral("link"), QStringLiteral("del"), QStringLiteral("va")}) == 0;
}

inline bool RestoreNetwork()
{
    const QList<QStringList> steps = {
        {QStringLiteral("link"), QStringLiteral("add"), QStringLiteral("va"), QStringLiteral("type"),
         QStringLiteral("veth"), QStringLiteral("peer"), QStringLiteral("name"), QStringLiteral("vb")},
        {QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("va"), QStringLiteral("up")},
        {QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("vb"), QStringLiteral("up")},
        {QStringLiteral("addr"), QStringLiteral("add"), QStringLiteral("10.77.0.1/24"), QStringLiteral("dev"),
         QStringLiteral("va")},
        {QStringLiteral("route"), QStringLiteral("add"), QStringLiteral("default"), QStringLiteral("dev"),
         QStringLiteral("va")},
    };
    for (const QStringList& step : steps)
        if (QProcess::execute(QStringLiteral("ip"), step) != 0)
            return false;
    return true;
}

}  // namespace vantor::test
