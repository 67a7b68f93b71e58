#include "platform/FileDialog.h"

#include <QFileDialog>
#include <QStringList>

namespace lexiglow {

QString SystemFileDialog::getOpenFileName(QWidget *parent, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString qtFileFilter(QStringView filter)
{
    const QList<QStringView> parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].trimmed().toString();
        patterns.replace(u';', u' ');
        entries.append(parts[i].trimmed().toString() + QStringLiteral(" (") + patterns + u')');
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace lexiglow
