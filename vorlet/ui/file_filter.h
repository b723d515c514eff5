// File-dialog filters: the design's "text|pattern|text|pattern|" form in the
// form of Qt's file dialogs.
#pragma once

#include <QStringList>

namespace vorlet {

// "(*.bin)|*.bin|所有文件(*.*)|*.*|" -> "(*.bin);;所有文件(*.*)" (each text already
// names its pattern).
inline QString qtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty()) entries << parts[i];
    return entries.join(QStringLiteral(";;"));
}

} // namespace vorlet
