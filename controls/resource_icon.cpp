#include "controls/resource_icon.h"

#include "app/log.h"

#include <QFile>
#include <QPushButton>
#include <QString>
#include <QStyle>

// The icons are compiled into this library; a static library needs the
// initialiser called by name (outside any namespace).
static void InitIconResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)done;
}

QIcon ResourceIcon(int id)
{
    InitIconResources();
    const QString base = QStringLiteral(":/icons/%1").arg(id);
    QIcon icon;
    if (QFile::exists(base + QStringLiteral(".png")))
        icon.addFile(base + QStringLiteral(".png"));
    if (QFile::exists(base + QStringLiteral("@2x.png")))
        icon.addFile(base + QStringLiteral("@2x.png"));
    for (int size : {16, 24, 48, 64}) {
        const QString sized = base + QStringLiteral("_%1.png").arg(size);
        if (QFile::exists(sized))
            icon.addFile(sized);
    }
    if (icon.isNull())
        Log("ResourceIcon: no icon %d", id);
    return icon;
}

void MakeIconButton(QPushButton* button, int iconId)
{
    if (!button)
        return;
    const QIcon icon = ResourceIcon(iconId);
    if (icon.isNull())
        return;
    button->setIcon(icon);
    const int extent = button->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, button);
    button->setIconSize(QSize(extent, extent));
}
