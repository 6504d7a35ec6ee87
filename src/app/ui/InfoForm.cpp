#include "app/ui/InfoForm.h"

#include "widgets/CloseOnEscape.h"
#include "widgets/Icons.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char *const kLicenseText =
    "Trovas is free software: you may use, copy, modify and distribute it, with or without "
    "changes, provided that this notice is kept with every copy.\n\n"
    "It comes WITHOUT ANY WARRANTY, to the extent permitted by law; without even the implied "
    "warranty of merchantability or fitness for a particular purpose.";

const char *const kCredits[] = {
    "Trovas", "", "Built with", "",
    "Qt " QT_VERSION_STR, "The Qt Company and the Qt contributors", "LGPL 3", "",
    "zlib", "Jean-loup Gailly and Mark Adler", "zlib licence", "",
    "Thanks to everyone who reports a bug", "or suggests a better way.", ""};

} // namespace

InfoForm::InfoForm(QWidget *parent)
    : QWidget(parent, Qt::Window), m_credits(new QListWidget(this))
{
    setObjectName(QStringLiteral("TInfoForm"));
    setWindowTitle(QStringLiteral("Info"));
    closeOnEscape(this);
    resize(360, 400);

    auto *logo = new QLabel(this);
    logo->setPixmap(Icons::application().pixmap(96, 96));
    logo->setAlignment(Qt::AlignCenter);
    auto *name = new QLabel(QStringLiteral("<h2>Trovas</h2>Version %1").arg(QStringLiteral(TROVAS_VERSION)), this);
    name->setAlignment(Qt::AlignCenter);
    auto *links = new QLabel(QStringLiteral("<a href=\"license\">License</a> &nbsp;&middot;&nbsp; "
                                            "<a href=\"qt\">About Qt</a>"), this);
    links->setAlignment(Qt::AlignCenter);
    // Tab reaches each link, Enter opens it.
    links->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(links, &QLabel::linkActivated, this, &InfoForm::openLink);

    m_credits->setObjectName(QStringLiteral("Credits"));
    m_credits->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_credits->setFocusPolicy(Qt::NoFocus);
    m_credits->setSelectionMode(QAbstractItemView::NoSelection);
    m_credits->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    for (const char *line : kCredits)
        (new QListWidgetItem(QString::fromUtf8(line), m_credits))->setTextAlignment(Qt::AlignCenter);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(logo);
    layout->addWidget(name);
    layout->addWidget(links);
    layout->addWidget(m_credits, 1);
    layout->addWidget(buttons);

    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &InfoForm::scrollCredits);
    timer->start(50);
}

void InfoForm::openLink(const QString &link)
{
    if (link == QLatin1String("qt"))
        QMessageBox::aboutQt(this);
    else
        QMessageBox::information(this, QStringLiteral("License"), QString::fromUtf8(kLicenseText));
}

void InfoForm::scrollCredits()
{
    if (!isVisible())
        return;
    QScrollBar *bar = m_credits->verticalScrollBar();
    bar->setValue(bar->value() >= bar->maximum() ? 0 : bar->value() + 1);
}
