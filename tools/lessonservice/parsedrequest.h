#ifndef PARSEDREQUEST_H
#define PARSEDREQUEST_H

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

using NameValueList = QList<QPair<QString, QString>>;

// One part of a multipart upload that carried a file name.
struct UploadedPart
{
    QString field;
    QString filename;
    QString contentType;
    QByteArray data;
};

// A request as the routes see it: parameters keep the order in which the
// client sent them, which the test log has to report.
struct ParsedRequest
{
    QString method;
    QString path;
    NameValueList query;
    NameValueList form;
    NameValueList headers; // names in lower case
    QByteArray body;       // raw body unless multipart
    bool multipart = false;
    QVector<UploadedPart> files;

    // The last value sent under a name, as PHP reads it; null when absent.
    QString queryValue(const QString &name) const;
    QString formValue(const QString &name) const;
    QString header(const QString &lowerCaseName) const;
    const UploadedPart *file(const QString &field) const;
};

namespace RequestParsing {

// Splits an application/x-www-form-urlencoded text ('+' is a blank, %XX a
// byte, UTF-8 throughout), keeping the order and every repeated name.
NameValueList parseUrlEncoded(const QByteArray &text);

// The query part of a request target, without the '?'.
QByteArray queryOfTarget(const QByteArray &target);

} // namespace RequestParsing

#endif // PARSEDREQUEST_H
