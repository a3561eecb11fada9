#pragma once

#include "PrintRequest.h"

#include <QFileDevice>
#include <QPageLayout>
#include <QString>

class Diary;
class QPagedPaintDevice;

// The diary's views on paper: the week, the month, the task list and the phone book, drawn from
// the agenda (never from the windows) in black on white with holidays in the holiday red, as
// real text in the device's page size and orientation.
namespace Printout {

// The title of what the request prints ("Semana del 29 de abril al 5 de mayo de 2024").
QString title(const PrintRequest &request);
// The orientation a view reads best in: the week and the month across, lists upright.
QPageLayout::Orientation orientation(PrintRequest::Kind kind);

// Paints the request on the device's pages (a printer, the preview's printer or a PDF writer).
// Returns an empty text, or why it could not, in the user's words (without a capital letter).
QString paint(Diary &diary, const PrintRequest &request, QPagedPaintDevice &device);

// Writes the request as a PDF at path, whole or not at all: the file is written beside the
// target and takes its place only when complete. Returns an empty text, or why it failed.
QString writePdf(Diary &diary, const PrintRequest &request, const QString &path, const QPageLayout &layout);

// Why the PDF at path cannot be written, from the failed file operation.
QString couldNotWrite(const QString &path, QFileDevice::FileError error, int systemError);

} // namespace Printout
