#ifndef AVPLAYERTYPES_H
#define AVPLAYERTYPES_H

#include <QMetaType>
#include <QString>

namespace QtAV {

// Where the player is with its medium. The numbers are part of the
// interface: callers compare with EndOfMedia (7).
enum MediaStatus {
    UnknownMediaStatus = 0,
    NoMedia = 1,
    LoadingMedia = 2,
    LoadedMedia = 3,
    StalledMedia = 4,
    BufferingMedia = 5,
    BufferedMedia = 6,
    EndOfMedia = 7,
    InvalidMedia = 8,
};

// A playback failure: a code and a text for the log.
class AVError
{
public:
    enum ErrorCode {
        NoError = 0,
        ResourceError = 1,     // the file or address cannot be read
        FormatError = 2,       // not a medium the player knows
        NetworkError = 3,
        AccessDeniedError = 4,
        ServiceMissingError = 5, // no playback backend
        UnsupportedAddress = 100, // an address that is neither a file nor http(s)
        UnknownError = 1000,
    };

    AVError() = default;
    AVError(int code, const QString &text) : m_error(code), m_string(text) {}

    int error() const { return m_error; }
    QString string() const { return m_string; }

private:
    int m_error = NoError;
    QString m_string;
};

} // namespace QtAV

Q_DECLARE_METATYPE(QtAV::MediaStatus)
Q_DECLARE_METATYPE(QtAV::AVError)

#endif // AVPLAYERTYPES_H
