#include "report/report_file.h"

#include "platform/services.h"

ClReportFile::ClReportFile() = default;

ClReportFile::~ClReportFile() { Close(); }

bool ClReportFile::Open(const char* path)
{
    Close();
    m_failed = false;
    platform::IFileSystem* fs = platform::GetServices().fs;
    if (!path || !*path || !fs) {
        m_failed = true;
        return false;
    }
    m_file = fs->CreateExclusive(path);
    if (!m_file) {
        m_failed = true;
        return false;
    }
    return true;
}

bool ClReportFile::Write(const void* data, std::size_t size)
{
    if (!m_file) {
        m_failed = true;
        return false;
    }
    if (!m_file->Write(data, size)) {
        m_failed = true;
        return false;
    }
    return true;
}

bool ClReportFile::Close()
{
    if (m_file) {
        // Both run even when the flush failed, so the handle is never leaked.
        bool flushed = m_file->Flush();
        bool closed = m_file->Close();
        m_file.reset();
        if (!flushed || !closed) m_failed = true;
    }
    return !m_failed;
}
