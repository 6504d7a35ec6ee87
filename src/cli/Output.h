#pragma once

#include <QByteArray>
#include <QString>

class QJsonObject;

// Results go to standard output, problems to standard error; text as UTF-8.
namespace Output {

void write(const QString &text);
void writeBytes(const QByteArray &bytes);
void line(const QString &text);
void json(const QJsonObject &object);
void error(const QString &line);
// Whether standard error is a terminal, so a progress bar can be drawn on it.
bool errorIsTerminal();
// Redraws the line standard error's cursor stands on.
void overwriteErrorLine(const QString &text);

} // namespace Output
