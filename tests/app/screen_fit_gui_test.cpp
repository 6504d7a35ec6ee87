#include "widgets/ScreenFit.h"
#include "widgets/ScrollingWhenShort.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

// Windows that would not fit their screen are fitted to its free area as they appear.
class ScreenFitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void shownWindow_liesOnTheScreen_data();
    void shownWindow_liesOnTheScreen();
    void popup_isLeftAlone();
    void tallForm_scrollsAboveItsButtons();
    void scrollingForm_givesTheFocusToItsFirstField();

private:
    // The borders the platform draws around a window.
    QMargins m_frame;
};

namespace {

QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

} // namespace

void ScreenFitTest::initTestCase()
{
    QWidget probe;
    probe.setGeometry(100, 100, 100, 100);
    probe.show();
    QVERIFY(QTest::qWaitForWindowExposed(&probe));
    const QRect outer = probe.frameGeometry(), inner = probe.geometry();
    m_frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                       outer.bottom() - inner.bottom());
    qApp->installEventFilter(new ScreenFit(qApp));
}

void ScreenFitTest::shownWindow_liesOnTheScreen_data()
{
    QTest::addColumn<QRect>("requested");
    QTest::addColumn<QSize>("minimum");
    // Where the window's frame ends up.
    QTest::addColumn<QRect>("expected");
    const QRect screen = available();
    const QSize framed = QSize(300, 200).grownBy(m_frame);
    QTest::newRow("fits") << QRect(20, 30, 300, 200) << QSize() << QRect(20, 30, 300, 200).marginsAdded(m_frame);
    QTest::newRow("larger than the screen")
        << QRect(50, 50, screen.width() * 2, screen.height() + 100) << QSize() << screen;
    QTest::newRow("partly off the bottom right")
        << QRect(screen.right() - 100, screen.bottom() - 50, 300, 200) << QSize()
        << QRect(screen.bottomRight() - QPoint(framed.width() - 1, framed.height() - 1), framed);
    QTest::newRow("partly off the top left") << QRect(-80, -40, 300, 200) << QSize() << QRect(screen.topLeft(), framed);
    // A window that cannot be made small enough keeps its top left corner on the screen.
    QTest::newRow("minimum larger than the screen")
        << QRect(-10, 40, 300, 200) << QSize(screen.width() + 200, 100)
        << QRect(screen.left(), 40 - m_frame.top(), screen.width() + 200 + m_frame.left() + m_frame.right(), framed.height());
}

void ScreenFitTest::shownWindow_liesOnTheScreen()
{
    QFETCH(QRect, requested);
    QFETCH(QSize, minimum);
    QFETCH(QRect, expected);
    QWidget window;
    if (minimum.isValid())
        window.setMinimumSize(minimum);
    window.setGeometry(requested);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.frameGeometry(), expected);
}

void ScreenFitTest::popup_isLeftAlone()
{
    QWidget popup(nullptr, Qt::Popup);
    const QRect requested(-50, -50, 100, 100);
    popup.setGeometry(requested);
    popup.show();
    QCOMPARE(popup.geometry(), requested);
}

void ScreenFitTest::tallForm_scrollsAboveItsButtons()
{
    const QRect screen = available();
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *form = new QWidget;
    (new QVBoxLayout(form))->addSpacing(screen.height() * 2);
    layout->addWidget(scrollingWhenShort(form));
    auto *button = new QPushButton(QStringLiteral("Save"));
    layout->addWidget(button);
    // Whole where there is room...
    QVERIFY(window.sizeHint().height() > screen.height() * 2);
    window.resize(window.sizeHint());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // ...and fitted, with the button on the screen, where there is not.
    QVERIFY(screen.contains(window.frameGeometry()));
    QVERIFY(screen.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())));
}

// The scrolling is no stop of its own for the keyboard: the window opens in its first field, and
// Tab goes from the form's last field to the button below.
void ScreenFitTest::scrollingForm_givesTheFocusToItsFirstField()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *form = new QWidget;
    auto *formLayout = new QVBoxLayout(form);
    auto *first = new QLineEdit;
    auto *last = new QLineEdit;
    formLayout->addWidget(first);
    formLayout->addWidget(last);
    layout->addWidget(scrollingWhenShort(form));
    auto *button = new QPushButton(QStringLiteral("Save"));
    layout->addWidget(button);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), first);
    QTest::keyClick(first, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), last);
    QTest::keyClick(last, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), button);
}

QTEST_MAIN(ScreenFitTest)
#include "screen_fit_gui_test.moc"
