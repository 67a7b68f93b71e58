#include "about/frmSplash.h"

#include "Version.h"
#include "about/Logo.h"
#include "platform/Readable.h"
#include "platform/ScreenFit.h"
#include "platform/Twips.h"
#include "platform/UrlOpener.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace lexiglow {

namespace {

const QSize logoSize(120, 130);

// The window is white whatever the theme, so its text is dark whatever the
// theme.
const QColor backdrop(Qt::white);
const QColor ink(0x1a, 0x1a, 0x1a);
const QColor productColour(0xc8, 0x45, 0x2f);

const QString notice = QStringLiteral("Your passwords are made on this computer and are never stored or sent anywhere.");

QLabel *label(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(objectName);
    return result;
}

} // namespace

frmSplash::frmSplash(UrlOpener &urlOpener, const QString &website, std::chrono::milliseconds autoCloseDelay,
                     QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_urlOpener(urlOpener)
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString());
    readable::setBackdrop(this, backdrop, ink);
    buildFrame();
    watchAllKeys();

    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(autoCloseDelay);
    connect(m_timer, &QTimer::timeout, this, &QDialog::close);
    m_timer->start();
    m_visitWebsite->setVisible(!website.isEmpty());
    connect(m_visitWebsite, &QPushButton::clicked, this, [this, website] { m_urlOpener.open(websitePage(website)); });
}

void frmSplash::buildFrame()
{
    const Twips twips(this);
    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    readable::setBackdrop(m_frame, backdrop, ink);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(twips.x(150), twips.y(60), twips.x(150), twips.y(135));
    outer->addWidget(m_frame);

    m_picture = label(QStringLiteral("Picture1"), QString(), m_frame);
    m_picture->setPixmap(paintLogo(logoSize, devicePixelRatioF()));
    setLeastSize(m_picture, twips.size(1695, 2055));
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The picture is first in the tab order, so it has the focus on opening;
    // a screen reader then reads what the window says.
    m_picture->setFocusPolicy(Qt::StrongFocus);
    m_picture->setAccessibleName(QStringLiteral("Lexiglow logo"));
    m_picture->setAccessibleDescription(versionText() + QStringLiteral(". ") + notice);

    QLabel *name = label(QStringLiteral("lblProductName"), QStringLiteral("Lexiglow"), m_frame);
    QFont nameFont = name->font();
    nameFont.setPointSizeF(28);
    nameFont.setBold(true);
    name->setFont(nameFont);
    QPalette namePalette = name->palette();
    namePalette.setColor(QPalette::WindowText, productColour);
    name->setPalette(namePalette);
    QLabel *tagline = label(QStringLiteral("lblTagline"), QStringLiteral("Passwords you can remember"), m_frame);

    m_visitWebsite = new QPushButton(QStringLiteral("&Visit Website"), m_frame);
    m_visitWebsite->setObjectName(QStringLiteral("cmdSysInfo"));
    setLeastSize(m_visitWebsite, twips.size(1245, 345));
    m_visitWebsite->setAutoDefault(false);

    QLabel *version = label(QStringLiteral("lblVersion"), versionText(), m_frame);
    version->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    QLabel *warning = label(QStringLiteral("lblWarning"), notice, m_frame);
    QFont warningFont(QStringLiteral("Arial"));
    warningFont.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    warningFont.setPointSizeF(8.25);
    warning->setFont(warningFont);
    warning->setWordWrap(true);
    warning->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    auto *grid = new QGridLayout(m_frame);
    grid->setContentsMargins(twips.x(240), twips.y(300), twips.x(75), twips.y(150));
    grid->setHorizontalSpacing(twips.x(240));
    grid->addWidget(m_visitWebsite, 0, 2, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(m_picture, 1, 0, 2, 1, Qt::AlignLeft | Qt::AlignTop);
    auto *title = new QVBoxLayout;
    title->addWidget(name);
    title->addWidget(tagline);
    grid->addLayout(title, 1, 1, 1, 2, Qt::AlignLeft | Qt::AlignVCenter);
    grid->setRowStretch(2, 1);
    grid->addWidget(warning, 3, 0, 1, 2);
    grid->addWidget(version, 3, 2, Qt::AlignRight | Qt::AlignBottom);
    grid->setColumnStretch(1, 1);
    setTabOrder(m_picture, m_visitWebsite);
}

void frmSplash::watchAllKeys()
{
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

void frmSplash::stopAutoClose()
{
    m_timer->stop();
}

void frmSplash::showModal()
{
    fitOnScreen(this, Twips(this).size(7380, 4245));
    if (const QScreen *where = screen())
        move(where->availableGeometry().center() - rect().center());
    m_picture->setFocus();
    exec();
}

void frmSplash::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        // A fixed size: the designed one, or larger where the fonts need
        // more room, but never larger than the screen.
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        fitOnScreen(this, Twips(this).size(7380, 4245));
        setFixedSize(size());
    }
    QDialog::setVisible(visible);
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Tab and Backtab still move the focus; every other key that types
        // something closes the window before any control sees it.
        const bool focusKey = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (!key->text().isEmpty() && !focusKey) {
            close();
            return true;
        }
    }
    if (isFreeFrameClick(watched, event)) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool frmSplash::isFreeFrameClick(QObject *watched, QEvent *event) const
{
    if (watched != m_frame || event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    // Clicks on the logo or a label reach the frame too; they do nothing.
    return mouse->button() == Qt::LeftButton && !m_frame->childAt(mouse->position().toPoint());
}

QUrl frmSplash::websitePage(const QString &website)
{
    return QUrl(website + QStringLiteral("/index.html?fromapp=1"));
}

QString frmSplash::versionText()
{
    return QStringLiteral("Version %1.%2.%3").arg(versionMajor).arg(versionMinor).arg(versionRevision);
}

} // namespace lexiglow
