#include "support/TestSupport.h"
#include "support/WindowFixture.h"

#include <QtTest>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextList>
#include <QToolBar>

class RichTextGuiTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    std::unique_ptr<WindowFixture> m_fixture;

    Project &project() { return m_fixture->workspace.project; }

    // Control names repeat between windows (ComboBox1), so tool bar controls are looked up in their bar.
    template<typename T>
    T *find(const char *name, const QObject *within = nullptr) const
    {
        T *found = (within ? within : &m_fixture->window)->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no %s", name);
        return found;
    }
    QTextEdit *description() const { return find<QTextEdit>("Editor"); }
    QTextEdit *license() const { return find<QTextEdit>("Editor2"); }
    QToolBar *descriptionBar() const { return find<QToolBar>("StandardToolBar"); }
    QToolBar *licenseBar() const { return find<QToolBar>("ToolBar1"); }
    QAction *button(const char *name) const
    {
        QAction *inDescription = descriptionBar()->findChild<QAction *>(QLatin1String(name));
        return inDescription ? inDescription : find<QAction>(name, licenseBar());
    }
    QLineEdit *sizeText(const char *name) const { return find<QAbstractSpinBox>(name)->findChild<QLineEdit *>(); }

    void showPage(int index, QTextEdit *editor)
    {
        m_fixture->window.findChild<QWidget *>(QStringLiteral("PageControl1"))->setProperty("currentIndex", index);
        editor->setFocus();
    }
    static void select(QTextEdit *editor, int from, int to)
    {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
    }
    static QTextCharFormat formatAt(QTextEdit *editor, int position)
    {
        QTextCursor cursor(editor->document());
        cursor.setPosition(position + 1); // the format of the character before the cursor
        return cursor.charFormat();
    }
    // The point at the middle of the character at a position, in viewport coordinates.
    static QPoint pointAt(QTextEdit *editor, int position)
    {
        QTextCursor cursor(editor->document());
        cursor.setPosition(position);
        const QRect before = editor->cursorRect(cursor);
        cursor.setPosition(position + 1);
        return QPoint((before.x() + editor->cursorRect(cursor).x()) / 2, before.center().y());
    }
    void enterSize(const char *box, const QString &text)
    {
        find<QAbstractSpinBox>(box)->setFocus();
        QLineEdit *edit = sizeText(box);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(find<QAbstractSpinBox>(box), Qt::Key_Return);
    }

private Q_SLOTS:
    void init()
    {
        const QString settings = m_home.path() + QStringLiteral("/config/Trovas/");
        QDir().mkpath(settings);
        m_fixture = std::make_unique<WindowFixture>(settings);
        // On a display without a window manager nothing activates a new window by itself.
        QVERIFY(m_fixture->showAndActivate());
        showPage(3, description());
    }

    void cleanup()
    {
        m_fixture.reset();
    }

    void toolBar_followsBoldItalicTextWithoutChangingIt()
    {
        const QString font = find<QComboBox>("FontName", descriptionBar())->itemText(0);
        project().setDescription({QStringLiteral("plain styled")});
        QTextCursor cursor(description()->document());
        cursor.setPosition(6);
        cursor.setPosition(12, QTextCursor::KeepAnchor);
        QTextCharFormat styled;
        styled.setFontWeight(QFont::Bold);
        styled.setFontItalic(true);
        styled.setFontPointSize(13);
        styled.setFontFamilies({font});
        cursor.mergeCharFormat(styled);
        const QString before = description()->toHtml();
        const int undoSteps = description()->document()->availableUndoSteps();

        select(description(), 7, 10);
        QVERIFY(button("BoldButton")->isChecked());
        QVERIFY(button("ItalicButton")->isChecked());
        QVERIFY(!button("UnderlineButton")->isChecked());
        QCOMPARE(sizeText("FontSize")->text(), QStringLiteral("13"));
        QCOMPARE(find<QComboBox>("FontName", descriptionBar())->currentText(), font);

        select(description(), 1, 3);
        QVERIFY(!button("BoldButton")->isChecked());
        QVERIFY(!button("ItalicButton")->isChecked());
        QCOMPARE(description()->toHtml(), before);
        QCOMPARE(description()->document()->availableUndoSteps(), undoSteps);
        QVERIFY(m_fixture->prompts.errors.isEmpty());
    }

    void alignment_eachToolBarFollowsAndSetsOnlyItsOwnEditor()
    {
        project().setDescription({QStringLiteral("left")});
        project().setLicense({QStringLiteral("first"), QStringLiteral("centred")});
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        QTextCursor(license()->document()->findBlockByNumber(1)).mergeBlockFormat(centred);

        select(license(), 8, 8);
        QVERIFY(button("ToolButton18")->isChecked());
        QVERIFY(!button("ToolButton17")->isChecked());
        QVERIFY(!button("ToolButton19")->isChecked());
        QVERIFY(button("LeftAlign")->isChecked());
        QVERIFY(!button("CenterAlign")->isChecked());

        button("RightAlign")->trigger();
        QCOMPARE(description()->document()->firstBlock().blockFormat().alignment(), Qt::AlignRight);
        QVERIFY(!button("LeftAlign")->isChecked());
        QCOMPARE(license()->document()->findBlockByNumber(1).blockFormat().alignment(), Qt::AlignHCenter);
        QVERIFY(button("ToolButton18")->isChecked());
    }

    void fontSize_appliesWholePointsAndReportsAnythingElse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("applied"); // 0: reported, nothing changes
        QTest::newRow("14") << "14" << 14;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("not a number") << "big" << 0;
        QTest::newRow("zero") << "0" << 0;
    }
    void fontSize_appliesWholePointsAndReportsAnythingElse()
    {
        QFETCH(QString, text);
        QFETCH(int, applied);
        project().setLicense({QStringLiteral("some licence")});
        showPage(4, license());
        select(license(), 0, 4);
        const QString before = license()->toHtml();

        enterSize("Edit20", text);
        QCOMPARE(license()->hasFocus(), applied != 0); // a wrong size stays for correcting
        if (applied) {
            QVERIFY(m_fixture->prompts.errors.isEmpty());
            QCOMPARE(formatAt(license(), 0).fontPointSize(), applied);
            QCOMPARE(formatAt(license(), 3).fontPointSize(), applied);
            QCOMPARE(formatAt(license(), 5).fontPointSize(), 0); // outside the selection: untouched
        } else {
            QCOMPARE(m_fixture->prompts.errors.size(), 1);
            QVERIFY(m_fixture->prompts.errors.first().contains(QLatin1Char('"') + text + QLatin1Char('"')));
            QCOMPARE(license()->toHtml(), before);
        }
    }

    void fontSize_arrowsStepAndApplyWithinOneToHundred()
    {
        project().setDescription({QStringLiteral("word")});
        select(description(), 0, 4);
        QWidget *box = find<QAbstractSpinBox>("FontSize");
        enterSize("FontSize", QStringLiteral("99"));
        QTest::keyClick(box, Qt::Key_Up);
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(formatAt(description(), 0).fontPointSize(), 100);
        QCOMPARE(sizeText("FontSize")->text(), QStringLiteral("100"));
        enterSize("FontSize", QStringLiteral("2"));
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(formatAt(description(), 3).fontPointSize(), 1);
        QVERIFY(m_fixture->prompts.errors.isEmpty());
    }

    void bold_togglesKeepingItalicAndUnderline()
    {
        project().setDescription({QStringLiteral("one two")});
        QTextCharFormat styled;
        styled.setFontItalic(true);
        styled.setFontUnderline(true);
        QTextCursor all(description()->document());
        all.select(QTextCursor::Document);
        all.mergeCharFormat(styled);
        select(description(), 0, 7);

        button("BoldButton")->trigger();
        for (int position : {0, 6}) {
            QCOMPARE(formatAt(description(), position).fontWeight(), QFont::Bold);
            QVERIFY(formatAt(description(), position).fontItalic());
            QVERIFY(formatAt(description(), position).fontUnderline());
        }
        QVERIFY(button("BoldButton")->isChecked());

        QTest::keyClick(description(), Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(formatAt(description(), 3).fontWeight(), QFont::Normal);
        QVERIFY(formatAt(description(), 3).fontItalic());
        QVERIFY(formatAt(description(), 3).fontUnderline());
        QVERIFY(!button("BoldButton")->isChecked());
        QCOMPARE(description()->toPlainText(), QStringLiteral("one two"));

        button("UndoButton")->trigger(); // one step per command
        QCOMPARE(formatAt(description(), 3).fontWeight(), QFont::Bold);
    }

    void bullets_raiseTheIndentToTenPointsAndRemoveSetsZero_data()
    {
        QTest::addColumn<qreal>("indent");
        QTest::addColumn<qreal>("withBullets");
        QTest::newRow("20 stays") << 20.0 << 20.0;
        QTest::newRow("0 becomes 10") << 0.0 << 10.0;
    }
    void bullets_raiseTheIndentToTenPointsAndRemoveSetsZero()
    {
        QFETCH(qreal, indent);
        QFETCH(qreal, withBullets);
        const qreal pixelsPerPoint = description()->logicalDpiX() / 72.0;
        project().setDescription({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
        QTextBlockFormat indented;
        indented.setLeftMargin(indent * pixelsPerPoint);
        QTextCursor all(description()->document());
        all.select(QTextCursor::Document);
        all.mergeBlockFormat(indented);
        select(description(), 1, 5); // "one" and "two"
        const QTextBlock one = description()->document()->findBlockByNumber(0);
        const QTextBlock two = one.next();

        button("BulletsButton")->trigger();
        for (const QTextBlock &block : {one, two}) {
            QVERIFY(block.textList());
            QCOMPARE(block.textList()->format().style(), QTextListFormat::ListDisc);
            QCOMPARE(block.blockFormat().leftMargin(), withBullets * pixelsPerPoint);
        }
        QCOMPARE(one.textList(), two.textList());
        QVERIFY(!two.next().textList());
        QVERIFY(button("BulletsButton")->isChecked());

        description()->undo(); // one step takes the whole change back
        QVERIFY(!one.textList());
        QCOMPARE(one.blockFormat().leftMargin(), indent * pixelsPerPoint);
        description()->redo();
        select(description(), 1, 5);
        QVERIFY(button("BulletsButton")->isChecked());

        button("BulletsButton")->trigger();
        for (const QTextBlock &block : {one, two}) {
            QVERIFY(!block.textList());
            QCOMPARE(block.blockFormat().leftMargin(), 0.0);
            QCOMPARE(block.blockFormat().indent(), 0);
        }
        QVERIFY(!button("BulletsButton")->isChecked());
        QCOMPARE(project().data().description, (QStringList{"one", "two", "three"}));
    }

    void fontLists_holdEachTypefaceOnceTheSameInBothBars()
    {
        auto entries = [](QComboBox *box) {
            QStringList names;
            for (int i = 0; i < box->count(); ++i)
                names.append(box->itemText(i));
            return names;
        };
        const QStringList names = entries(find<QComboBox>("FontName", descriptionBar()));
        QVERIFY(!names.isEmpty());
        QCOMPARE(entries(find<QComboBox>("ComboBox1", licenseBar())), names);
        for (int i = 1; i < names.size(); ++i)
            QVERIFY2(names[i - 1].compare(names[i], Qt::CaseInsensitive) <= 0 && names[i - 1] != names[i],
                     qPrintable(names[i]));

        project().setDescription({QStringLiteral("word")});
        select(description(), 0, 4);
        QComboBox *fontName = find<QComboBox>("FontName", descriptionBar());
        QVERIFY(names.size() > 1);
        fontName->setCurrentIndex(names.size() - 2);
        QTest::keyClick(fontName, Qt::Key_Down);
        QCOMPARE(formatAt(description(), 2).fontFamilies().toStringList(), QStringList{names.last()});
    }

    void colour_appliesTheChosenColourAndCancelChangesNothing()
    {
        project().setDescription({QStringLiteral("red text")});
        select(description(), 0, 3);
        m_fixture->prompts.answers = {QStringLiteral("#cc2200")};
        button("ToolButton3")->trigger();
        QCOMPARE(formatAt(description(), 1).foreground().color(), QColor(0xcc, 0x22, 0x00));

        select(description(), 4, 8);
        const QString before = description()->toHtml();
        button("ToolButton3")->trigger(); // nothing scripted: the dialog is cancelled
        QCOMPARE(description()->toHtml(), before);
    }

    // The project file keeps the plain lines; the formatting beside it comes back with them,
    // unless the project file's text was changed elsewhere: then that text wins, unformatted.
    void formattedText_comesBackWhereTheProjectFileStillHoldsItsText_data()
    {
        QTest::addColumn<QByteArray>("editedElsewhere");
        QTest::newRow("reopened") << QByteArray();
        QTest::newRow("text changed elsewhere") << QByteArray("second  paragraph, rewritten");
    }

    void formattedText_comesBackWhereTheProjectFileStillHoldsItsText()
    {
        QFETCH(QByteArray, editedElsewhere);
        const QStringList lines{QStringLiteral("Title line"), QString(), QStringLiteral("second  paragraph"),
                                QStringLiteral("see www.example.org")};
        project().setDescription(lines);
        select(description(), 0, 10);
        button("BoldButton")->trigger();
        button("CenterAlign")->trigger();
        m_fixture->prompts.answers = {QStringLiteral("blue")};
        button("ToolButton3")->trigger();
        enterSize("FontSize", QStringLiteral("20"));
        QCOMPARE(project().data().description, lines);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("demo.dev"));
        m_fixture->prompts.answers = {path};
        QVERIFY(m_fixture->workspace.commands.save());
        QVERIFY(QFile::exists(path + QStringLiteral("-docs")));
        // The project file holds the plain lines only, as before.
        QVERIFY(readFile(path).contains("\r\nTitle line\r\n\r\nsecond  paragraph\r\nsee www.example.org\r\n"));
        if (!editedElsewhere.isEmpty())
            writeFile(path, readFile(path).replace("second  paragraph", editedElsewhere));
        m_fixture->workspace.commands.newProject();
        m_fixture->workspace.commands.load(path);
        QVERIFY(!m_fixture->window.isWindowModified());

        QTextCursor title(description()->document());
        title.setPosition(3);
        if (editedElsewhere.isEmpty()) {
            QCOMPARE(description()->toPlainText(), lines.join(QLatin1Char('\n')));
            QCOMPARE(title.charFormat().fontWeight(), QFont::Bold);
            QCOMPARE(title.charFormat().fontPointSize(), 20.0);
            QCOMPARE(title.charFormat().foreground().color(), QColor(Qt::blue));
            QCOMPARE(int(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask), int(Qt::AlignHCenter));
            QCOMPARE(formatAt(description(), 15).fontWeight(), QFont::Normal);
        } else {
            QCOMPARE(project().data().description.at(2), QString::fromLatin1(editedElsewhere));
            QCOMPARE(description()->toPlainText().split(QLatin1Char('\n')), project().data().description);
            QVERIFY(!title.charFormat().hasProperty(QTextFormat::FontWeight));
            QVERIFY(!(title.blockFormat().alignment() & Qt::AlignHCenter));
        }
        QVERIFY(m_fixture->prompts.errors.isEmpty());
    }

    void link_typedInTheLicence_opensWithEitherButton()
    {
        showPage(4, license());
        QTest::keyClicks(license(), QStringLiteral("read https://example.org/terms. "));
        QWidget *viewport = license()->viewport();
        const QPoint onLink = pointAt(license(), 10);

        QTest::mouseClick(viewport, Qt::LeftButton, {}, onLink);
        bool menuShown = false;
        QTimer::singleShot(0, this, [&menuShown] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                menuShown = true;
                popup->close();
            }
        });
        // A right press brings the context menu here; it stays away from a link.
        QTest::mousePress(viewport, Qt::RightButton, {}, onLink);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, onLink, viewport->mapToGlobal(onLink));
        QApplication::sendEvent(viewport, &menuEvent);
        QTest::mouseRelease(viewport, Qt::RightButton, {}, onLink);
        QCoreApplication::processEvents();
        QVERIFY(!menuShown);
        QCOMPARE(m_fixture->launcher.opened, (QStringList{"https://example.org/terms", "https://example.org/terms"}));

        QTest::mouseClick(viewport, Qt::LeftButton, {}, pointAt(license(), 2)); // "read"
        QTest::mouseClick(viewport, Qt::LeftButton, {}, pointAt(license(), 30)); // the full stop after it
        QTest::mousePress(viewport, Qt::LeftButton, {}, onLink);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, pointAt(license(), 2));
        QCOMPARE(m_fixture->launcher.opened.size(), 2);
        QCOMPARE(license()->toPlainText(), QStringLiteral("read https://example.org/terms. "));
    }

    void hints_shortAtTheButtonLongInTheStatusBar()
    {
        QAction *bullets = button("ToolButton22");
        QCOMPARE(bullets->toolTip(), QStringLiteral("Bullets"));
        QWidget *bulletsButton = find<QWidget>("ToolButton22", licenseBar());
        showPage(4, license());
        QTest::mouseMove(bulletsButton);
        // Beside the status panels, which stay in sight.
        QTRY_COMPARE(find<QLabel>("StatusNotice")->text(), QStringLiteral("Enter bullet mode"));
        QVERIFY(find<QLabel>("StatusPanel0")->isVisible());
        QCOMPARE(find<QWidget>("Edit20", licenseBar())->toolTip(), QStringLiteral("Font Size"));
        QCOMPARE(find<QWidget>("Edit20", licenseBar())->statusTip(), QStringLiteral("Select font size"));
        QCOMPARE(button("CutButton")->statusTip(), QStringLiteral("Delete selected item"));
    }
};

QTEST_MAIN(RichTextGuiTest)
#include "rich_text_gui_test.moc"
