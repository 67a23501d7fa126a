#ifndef DOWNLOADSEQUENCEPROGRESS_H
#define DOWNLOADSEQUENCEPROGRESS_H

// The progress of several files downloaded one after another, in percent of
// the whole: every file is an equal share, a finished file's share stays
// counted, and the file under way adds its part of its share. Shared by the
// class resources' download and the video tiles' download.
class DownloadSequenceProgress
{
public:
    // logPrefix begins every log line (the owner's own tag, or "").
    explicit DownloadSequenceProgress(const char *logPrefix);

    // A new run of fileCount files, percent of the whole already there.
    // The file under way, if any, keeps its state until nextFile().
    void start(int fileCount, int percent = 0);
    // The next file's transfer begins: its share is not counted yet.
    void nextFile();
    // The file under way reports percent of itself: the whole's progress,
    // or -1 when there is nothing to tell (no files, or the file's whole
    // was counted already).
    int update(double percent);

    int fileCount() const { return m_fileCount; }
    int percent() const { return m_percent; }
    void setPercent(int percent) { m_percent = percent; }

private:
    const char *m_logPrefix;
    int m_fileCount = 0;
    int m_percent = 0;
    // The transfer under way reported its whole: a repeated report of it is
    // not counted again.
    bool m_currentFileCounted = false;
};

#endif // DOWNLOADSEQUENCEPROGRESS_H
