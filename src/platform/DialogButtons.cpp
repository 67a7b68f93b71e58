#include "platform/DialogButtons.h"

#include "platform/ScreenFit.h"
#include "platform/Twips.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace lexiglow {

QPushButton *dialogButton(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *button = named(new QPushButton(caption, parent), objectName);
    setLeastSize(button, Twips(parent).size(1215, 375));
    return button;
}

QHBoxLayout *okCancelRow(QPushButton *ok, QPushButton *cancel)
{
    ok->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addSpacing(Twips(ok).x(225));
    row->addWidget(cancel);
    return row;
}

} // namespace lexiglow
