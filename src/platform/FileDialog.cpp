#include "platform/FileDialog.h"

#include <QFileDialog>
#include <QStringList>

namespace lexiglow {

QString SystemFileDialog::getOpenFileName(QWidget *parent, const QString &filter)
{
    // The filters' names alone: their patterns spell out every letter case.
    return QFileDialog::getOpenFileName(parent, QString(), takeNextFolder(), filter, nullptr,
                                        QFileDialog::HideNameFilterDetails);
}

QString anyCasePatterns(QStringView extension)
{
    QStringList spellings{QStringLiteral("*.")};
    for (const QChar ch : extension) {
        QStringList longer;
        for (const QString &start : spellings) {
            longer.append(start + ch.toLower());
            if (ch.toUpper() != ch.toLower())
                longer.append(start + ch.toUpper());
        }
        spellings = longer;
    }
    return spellings.join(u';');
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
