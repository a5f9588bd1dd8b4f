// The program view of the CPU's window on a shown window: typing, Download, the program status
// read from the status column, refused downloads, unsaved changes, New and the hover texts.
#include <gtest/gtest.h>

#include <QAction>
#include <algorithm>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>

#include "framework/Timer.h"
#include "gui/ProgramEditor.h"
#include "gui/SimulatorWindow.h"
#include "plc/EmbeddedPlc.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class EditorScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    embedded.SetSymbols({{"SUBIR", "E124.1"}, {"BAJAR", "E124.2"}, {"KM1", "A124.0"}});
    path = dir.filePath(QStringLiteral("p.awl"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(original);
    f.close();
    view = std::make_unique<TSimulatorWindowView>(embedded);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    ASSERT_TRUE(view->LoadProgramFile(path));
    editor = view->Editor();
    ASSERT_EQ(editor->TabCount(), 1);
    // Questions are answered by the test, not by a modal box.
    editor->Ask = [this](const QString& q) {
      questions << q;
      return answer;
    };
  }
  void Click(const char* action) {
    auto* bar = editor->findChild<QToolBar*>();
    for (QAction* a : bar->actions())
      if (a->text() == QLatin1String(action)) {
        QTest::mouseClick(bar->widgetForAction(a), Qt::LeftButton);
        return;
      }
    FAIL() << "no action " << action;
  }
  void TypeAtEnd(const QString& text) {
    TCodeEditor* e = editor->Current();
    e->setFocus();
    QTextCursor c = e->textCursor();
    c.movePosition(QTextCursor::End);
    e->setTextCursor(c);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (i > 0) QTest::keyClick(e, Qt::Key_Return);
      QTest::keyClicks(e, lines[i]);
    }
  }
  void Scans(int n) {
    for (int i = 0; i < n; ++i) {
      clock.Advance(50);
      embedded.Scan();
    }
  }
  QString Column(int line) { return editor->Current()->StatusText(line).simplified(); }

  QTemporaryDir dir;
  QString path;
  QByteArray original = "U E 124.1\n= A 124.0\n";
  TTimerClock clock;
  TEmbeddedPlc embedded{&clock};
  std::unique_ptr<TSimulatorWindowView> view;
  TProgramEditor* editor = nullptr;
  QStringList questions;
  TProgramEditor::TAnswer answer = TProgramEditor::Cancel;
};

TEST_F(EditorScreen, TypedTextIsDownloadedAtTheCycleBoundaryAndMonitored) {
  EXPECT_EQ(editor->Current()->toPlainText(), QString::fromLatin1(original));
  embedded.SetMode(softplc::CpuMode::RunP);
  embedded.Cpu().SetInputByte(124, 0b010);  // SUBIR pressed
  Scans(2);
  ASSERT_EQ(embedded.Cpu().OutputByte(124), 1);

  TypeAtEnd(QStringLiteral("UN E 124.2\n= A 124.1\n"));
  EXPECT_TRUE(editor->Modified());
  Click("Download");
  EXPECT_EQ(embedded.Cpu().Mode(), softplc::CpuMode::RunP) << "RUN-P takes a download without asking";
  EXPECT_TRUE(questions.isEmpty());
  EXPECT_TRUE(editor->StatusLine()->text().startsWith(QStringLiteral("Downloaded: loaded OB 1")))
      << editor->StatusLine()->text().toStdString();
  EXPECT_EQ(ReadAll(path), original) << "a download never writes the file";
  Scans(1);
  EXPECT_EQ(embedded.Cpu().OutputByte(124), 0b11);

  QTest::mouseClick(editor->MonitorSwitch(), Qt::LeftButton, {}, QPoint(5, editor->MonitorSwitch()->height() / 2));
  ASSERT_TRUE(editor->MonitorSwitch()->isChecked());
  Scans(2);
  QTest::qWait(150);  // the column follows at ten frames a second
  EXPECT_EQ(Column(1), QStringLiteral("1 1 W#16#0000 W#16#0000 1"));
  EXPECT_EQ(Column(3), QStringLiteral("1 0 W#16#0000 W#16#0000 0"));  // UN of a 0: STA is the bit
  EXPECT_EQ(Column(4), QStringLiteral("1 1 W#16#0000 W#16#0000 1"));
  EXPECT_EQ(Column(5), QString());

  // a text that does not compile is refused: the running program stays, the error is marked
  TypeAtEnd(QStringLiteral("XYZ M 0.0\n"));
  Click("Download");
  EXPECT_TRUE(editor->StatusLine()->text().startsWith(QStringLiteral("Download refused")));
  ASSERT_GE(editor->MessageList()->count(), 1);
  EXPECT_TRUE(editor->MessageList()->item(0)->text().startsWith(QStringLiteral("p.awl:5:1:")))
      << editor->MessageList()->item(0)->text().toStdString();
  ASSERT_EQ(editor->Current()->Marks().size(), 1u);
  EXPECT_EQ(editor->Current()->Marks()[0].Line, 5);
  EXPECT_TRUE(editor->Current()->HoverText(5, 2).contains(QStringLiteral("XYZ")));
  embedded.Cpu().SetInputByte(124, 0b110);  // BAJAR too
  Scans(1);
  EXPECT_EQ(embedded.Cpu().OutputByte(124), 0b01) << "the downloaded program still runs";

  // a click on the message goes to its place
  editor->Current()->GoToLine(1);
  const QRect r = editor->MessageList()->visualItemRect(editor->MessageList()->item(0));
  QTest::mouseClick(editor->MessageList()->viewport(), Qt::LeftButton, {}, r.center());
  EXPECT_EQ(editor->Current()->textCursor().blockNumber(), 4);
}

TEST_F(EditorScreen, InRunADownloadAsksToStopFirst) {
  embedded.SetMode(softplc::CpuMode::Run);
  TypeAtEnd(QStringLiteral("= A 124.2\n"));
  answer = TProgramEditor::No;
  EXPECT_FALSE(editor->Download());
  EXPECT_EQ(questions.size(), 1);
  EXPECT_EQ(embedded.Cpu().Mode(), softplc::CpuMode::Run);
  EXPECT_EQ(embedded.Cpu().Diagnostics().back().text.rfind("download", 0), std::string::npos);
  const std::size_t before = embedded.Cpu().Info().instructions;
  answer = TProgramEditor::Yes;
  EXPECT_TRUE(editor->Download());
  EXPECT_EQ(embedded.Cpu().Mode(), softplc::CpuMode::Stop);
  EXPECT_EQ(embedded.Cpu().Info().instructions, before + 1);
}

TEST_F(EditorScreen, UnsavedChangesAreKeptUntilTheUserSaysSo) {
  TypeAtEnd(QStringLiteral("// mine\n"));
  answer = TProgramEditor::Cancel;
  QTest::mouseClick(view->ReloadButton(), Qt::LeftButton);
  EXPECT_EQ(questions.size(), 1);
  EXPECT_TRUE(editor->Current()->toPlainText().endsWith(QStringLiteral("// mine\n"))) << "Cancel keeps the text";
  EXPECT_EQ(ReadAll(path), original);

  answer = TProgramEditor::Yes;  // save, then reload
  QTest::mouseClick(view->ReloadButton(), Qt::LeftButton);
  EXPECT_EQ(ReadAll(path), original + "// mine\n");
  EXPECT_FALSE(editor->Modified());
  EXPECT_EQ(editor->Current()->toPlainText(), QString::fromLatin1(original + "// mine\n"));
  EXPECT_TRUE(editor->MayDiscard(TProgramEditor::TDiscard::Closing)) << "nothing left to ask about";
  EXPECT_EQ(questions.size(), 2);
}

TEST_F(EditorScreen, NewStartsFromTheTemplateAndHoverNamesSymbolsAndAddresses) {
  TCodeEditor* first = editor->Current();
  first->setPlainText(QStringLiteral("U \"SUBIR\"\n= A 124.0\nU E 0.0\n"));
  EXPECT_EQ(first->HoverText(1, 5), QStringLiteral("\"SUBIR\" = E124.1"));
  EXPECT_EQ(first->HoverText(2, 4), QStringLiteral("A 124.0 = \"KM1\""));
  EXPECT_EQ(first->HoverText(3, 3), QStringLiteral("E 0.0 has no symbol"));
  EXPECT_EQ(first->HoverText(1, 1), QString());

  Click("New");
  ASSERT_EQ(editor->TabCount(), 2);
  TCodeEditor* e = editor->Current();
  EXPECT_EQ(e->ProgramName, QStringLiteral("untitled.awl"));
  EXPECT_TRUE(e->document()->isModified()) << "never saved, so it counts as a change";
  const QString text = e->toPlainText();
  EXPECT_TRUE(text.contains(QStringLiteral("E 124.1  \"SUBIR\""))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("E 124.2  \"BAJAR\"")));
  EXPECT_TRUE(text.contains(QStringLiteral("A 124.0  \"KM1\"")));

  // the template compiles as it stands (all tabs are one program, so the first gives up OB 1)
  first->setPlainText(QStringLiteral("FUNCTION FC 1 : VOID\nBEGIN\nSET\nEND_FUNCTION\n"));
  EXPECT_TRUE(editor->Download()) << editor->StatusLine()->text().toStdString();
  const auto& files = embedded.Cpu().Info().files;
  EXPECT_NE(std::find(files.begin(), files.end(), "untitled.awl"), files.end());
}

TEST_F(EditorScreen, HoverAddsTheSymbolTablesComments) {
  QFile table(dir.filePath(QStringLiteral("p.sdf")));
  ASSERT_TRUE(table.open(QIODevice::WriteOnly));
  table.write("\"Tope\",\"E 0.3\",\"BOOL\",\"Tope del tablero\"\r\n\"Marca\",\"M 1.0\",\"BOOL\",\"\"\r\n");
  table.close();
  ASSERT_TRUE(view->LoadProgramFile(path));
  TCodeEditor* e = editor->Current();
  e->setPlainText(QStringLiteral("U \"Tope\"\nU E 0.3\nU M 1.0\n"));
  EXPECT_EQ(e->HoverText(1, 5), QStringLiteral("\"Tope\" = E 0.3 (Tope del tablero)"));
  EXPECT_EQ(e->HoverText(2, 4), QStringLiteral("E 0.3 = \"Tope\" (Tope del tablero)"));
  EXPECT_EQ(e->HoverText(3, 4), QStringLiteral("M 1.0 = \"Marca\"")) << "an empty comment adds nothing";
}

TEST_F(EditorScreen, FindAndGoToLineMoveTheCursor) {
  editor->Current()->setPlainText(QStringLiteral("U E 0.0\n= A 0.0\nU E 0.1\n= A 0.1\n"));
  EXPECT_TRUE(editor->Find(QStringLiteral("E 0.1")));
  EXPECT_EQ(editor->Current()->textCursor().blockNumber(), 2);
  EXPECT_TRUE(editor->Find(QStringLiteral("U E")));  // wraps to the first
  EXPECT_EQ(editor->Current()->textCursor().blockNumber(), 0);
  EXPECT_FALSE(editor->Find(QStringLiteral("nowhere")));
  editor->Current()->GoToLine(4, 3);
  EXPECT_EQ(editor->Current()->textCursor().blockNumber(), 3);
  EXPECT_EQ(editor->Current()->textCursor().positionInBlock(), 2);
  const QString before = editor->Current()->toPlainText();
  TypeAtEnd(QStringLiteral("L 1"));
  editor->Current()->undo();
  EXPECT_EQ(editor->Current()->toPlainText(), before) << "undo takes the typing back";
  editor->Current()->redo();
  EXPECT_EQ(editor->Current()->toPlainText(), before + QStringLiteral("L 1"));
}

}  // namespace
