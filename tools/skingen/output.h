// Where the generator writes: every file goes below one root folder, written
// whole (temporary file, then rename) so an interrupted build never leaves a
// half-written picture that a later build would take as up to date.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

namespace skingen {

class Output {
 public:
  explicit Output(QString root) : root_(std::move(root)) {}

  // PNG keeps the alpha channel; BMP is written as 24-bit colour, the form
  // the skinned windows expect for their backgrounds and menu bitmaps.
  bool png(const QString& relative, const QImage& image);
  bool bmp(const QString& relative, const QImage& image);
  bool bytes(const QString& relative, const QByteArray& data);
  // Removes a folder left by an earlier run (for example the skin of the
  // other language) with everything in it.
  bool removeFolder(const QString& relative);

  // "relative-path<TAB>size" per file written, in writing order.
  const QStringList& manifest() const { return manifest_; }
  const QStringList& errors() const { return errors_; }
  const QString& root() const { return root_; }

 private:
  bool write(const QString& relative, const QByteArray& data);
  QString root_;
  QStringList manifest_;
  QStringList errors_;
};

}  // namespace skingen
