#include "DecodeRun.h"

#include "tools/common/DecodeSession.h"

#include <QJsonDocument>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool ReadInputFile(const std::string& strPath, std::string& bytes, std::string& strError) {
    int fd = open(strPath.c_str(), O_RDONLY);
    struct stat st = {};
    if (fd < 0 || fstat(fd, &st) != 0) {
        strError = std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        close(fd);
        strError = std::strerror(EISDIR);
        return false;
    }
    bytes.clear();
    char buffer[65536];
    ssize_t n = 0;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<size_t>(n));
    int nError = errno;
    close(fd);
    if (n < 0) {
        strError = std::strerror(nError);
        return false;
    }
    return true;
}

int RunDecode(const DecodeOptions& opt, std::FILE* out, std::FILE* err) {
    std::string bytes;
    std::string strError;
    if (!ReadInputFile(opt.strFile, bytes, strError)) {
        std::fprintf(err, "velmora-decode: cannot read %s: %s\n", opt.strFile.c_str(),
                     strError.c_str());
        return 1;
    }
    CDecodeSession session;
    session.Prepare(opt.nFilters, opt.bPaused);
    session.Feed(bytes, [&](const CString& strSentence) {
        QByteArray line =
            QJsonDocument(session.SentenceState(strSentence)).toJson(QJsonDocument::Compact);
        line += '\n';
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), out);
    });
    for (const MessageBoxCall& box : session.Boxes())
        std::fprintf(err, "velmora-decode: message box \"%s\": %s\n", box.caption.c_str(),
                     box.text.c_str());
    if (std::fflush(out) != 0) {
        std::fprintf(err, "velmora-decode: cannot write the output: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
