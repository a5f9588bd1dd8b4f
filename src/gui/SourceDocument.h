#pragma once
// A program source as it lies on disk: its text for the editor, and how to write it back the
// way it came (encoding, byte order mark, line endings). Writing goes through a temporary file
// beside the target that replaces it only once complete, so a failed save never leaves a
// half-written program behind.
#include <QByteArray>
#include <QString>

class TSourceDocument {
 public:
  enum class TEncoding { Utf8, Windows1252 };

  // Reads a file; false with a message naming it when it cannot be read.
  bool Load(const QString& path, QString& error);
  // A document that is not on disk yet (New): UTF-8, the platform's line endings.
  void Reset(const QString& text);

  // The text with '\n' line breaks, as an editor holds it.
  const QString& Text() const { return FText; }
  // The text as it would be written: original line endings and encoding. False with a message
  // (line:column) when a character cannot be written in the file's encoding.
  bool Encode(const QString& text, QByteArray& out, QString& error) const;
  // Writes `text` to `path` atomically; on success `path` becomes the document's file.
  bool Save(const QString& path, const QString& text, QString& error);

  const QString& Path() const { return FPath; }
  TEncoding Encoding() const { return FEncoding; }
  bool CrLf() const { return FCrLf; }
  bool Bom() const { return FBom; }

 private:
  QString FPath;
  QString FText;
  TEncoding FEncoding = TEncoding::Utf8;
  bool FCrLf = false;
  bool FBom = false;
};
