#include "support/WindowFixture.h"
#include "widgets/ScreenFit.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

// At twice the scale the options window is larger than the screen: fitted on it, centred on the
// main window as far as the screen lets it, with its Close button in reach.
class OptionsWindowScaledTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void closeButton_liesOnTheScreenAndClosesTheWindow()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        ScreenFit fit;
        qApp->installEventFilter(&fit);
        IsolatedHome home;
        WindowFixture fixture(home.path() + QStringLiteral("/settings"));
        QVERIFY(fixture.show());
        fixture.trigger("Options1");
        QWidget *options = fixture.widget("TForm8");
        QVERIFY(QTest::qWaitForWindowExposed(options));

        const QRect screen = options->screen()->availableGeometry();
        QVERIFY2(screen.contains(options->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(options->frameGeometry().x()).arg(options->frameGeometry().y())
                                .arg(options->frameGeometry().width()).arg(options->frameGeometry().height())));
        auto *close = fixture.widget<QPushButton>("CloseOptions");
        QVERIFY(close->isVisible());
        QVERIFY(screen.contains(QRect(close->mapToGlobal(QPoint(0, 0)), close->size())));
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!options->isVisible());
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    OptionsWindowScaledTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "options_window_scaled_gui_test.moc"
