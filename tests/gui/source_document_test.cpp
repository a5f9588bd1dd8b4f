// Saving a program source: only through a complete temporary file beside the target, and in
// the file's own encoding, byte order mark and line endings.
#include <gtest/gtest.h>

#include <QDir>
#include <csignal>
#include <sys/resource.h>
#include <QFile>
#include <QTemporaryDir>

#include "gui/SourceDocument.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST(SourceDocument, AnEditedFileKeepsItsCodePageAndLineEndings) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("prog.awl"));
  // Windows-1252 from the programming tool: "Brücke – 5 €" with bytes that are not UTF-8
  Write(path, "// Br\xFC" "cke \x96 5 \x80\r\nU E 0.0\r\n= A 0.0\r\n");
  TSourceDocument doc;
  QString error;
  ASSERT_TRUE(doc.Load(path, error)) << error.toStdString();
  EXPECT_EQ(doc.Encoding(), TSourceDocument::TEncoding::Windows1252);
  EXPECT_TRUE(doc.CrLf());
  EXPECT_EQ(doc.Text(), QStringLiteral("// Brücke – 5 €\nU E 0.0\n= A 0.0\n"));
  ASSERT_TRUE(doc.Save(path, doc.Text() + QStringLiteral("// Änderung\n"), error));
  EXPECT_EQ(ReadAll(path), QByteArray("// Br\xFC" "cke \x96 5 \x80\r\nU E 0.0\r\n= A 0.0\r\n// \xC4" "nderung\r\n"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("prog.awl")})
      << "no temporary file is left beside it";

  // a character the code page cannot hold is refused, and the file stays as it was
  EXPECT_FALSE(doc.Save(path, QStringLiteral("L 1\n// 5 Ω\n"), error));
  EXPECT_TRUE(error.contains(QStringLiteral("prog.awl:2:6:"))) << error.toStdString();
  EXPECT_TRUE(ReadAll(path).endsWith("nderung\r\n"));
}

TEST(SourceDocument, Utf8WithABomStaysUtf8WithABomAndUnixLineEndings) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("u.awl"));
  Write(path, "\xEF\xBB\xBF// \xE2\x82\xAC\nL 1\n");
  TSourceDocument doc;
  QString error;
  ASSERT_TRUE(doc.Load(path, error));
  EXPECT_EQ(doc.Encoding(), TSourceDocument::TEncoding::Utf8);
  EXPECT_TRUE(doc.Bom());
  EXPECT_FALSE(doc.CrLf());
  EXPECT_EQ(doc.Text(), QStringLiteral("// €\nL 1\n"));
  const QString other = dir.filePath(QStringLiteral("v.awl"));
  ASSERT_TRUE(doc.Save(other, QStringLiteral("// €\nL 2\n"), error));
  EXPECT_EQ(ReadAll(other), QByteArray("\xEF\xBB\xBF// \xE2\x82\xAC\nL 2\n"));
  EXPECT_EQ(doc.Path(), other);
  EXPECT_EQ(ReadAll(path), QByteArray("\xEF\xBB\xBF// \xE2\x82\xAC\nL 1\n")) << "Save As leaves the old file";
}

TEST(SourceDocument, AFailedSaveSaysWhereAndWritesNothing) {
  QTemporaryDir dir;
  TSourceDocument doc;
  doc.Reset(QStringLiteral("L 1\n"));
  QString error;
  const QString path = dir.filePath(QStringLiteral("missing/folder/p.awl"));
  EXPECT_FALSE(doc.Save(path, doc.Text(), error));
  EXPECT_TRUE(error.startsWith(path)) << error.toStdString();
  EXPECT_TRUE(doc.Path().isEmpty());
  EXPECT_FALSE(doc.Load(dir.filePath(QStringLiteral("nope.awl")), error));
  EXPECT_TRUE(error.contains(QStringLiteral("nope.awl"))) << error.toStdString();
}

}  // namespace

namespace {

// A write that fails only when the file is closed (the disk fills, here the file size limit)
// must fail the save and leave the file as it was: QSaveFile's commit alone does not see it.
TEST(SourceDocument, AWriteThatFailsOnCloseFailsTheSave) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("p.awl"));
  Write(path, "L 1\n");
  TSourceDocument doc;
  QString error;
  ASSERT_TRUE(doc.Load(path, error)) << error.toStdString();
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved_ok = doc.Save(path, QString(2000, QLatin1Char('x')), error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(ReadAll(path), QByteArray("L 1\n"));
}

}  // namespace
