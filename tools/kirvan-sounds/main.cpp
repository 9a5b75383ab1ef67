// kirvan-sounds: writes the workstation's own sound files "fault.wav" and "alarm.wav" into a
// folder. The build runs it to put them beside the program. Usage: kirvan-sounds FOLDER

#include "platform/AlertTones.h"
#include "platform/WaveFile.h"

#include <QDir>
#include <QSaveFile>
#include <cstdio>

namespace {

bool write(const QDir& folder, const char* name, const kirvan::Wave& wave)
{
    QSaveFile file(folder.filePath(QString::fromLatin1(name)));
    if (file.open(QIODevice::WriteOnly) && file.write(kirvan::waveFileBytes(wave)) >= 0 && file.commit())
        return true;
    std::fprintf(stderr, "kirvan-sounds: cannot write %s: %s\n", qPrintable(file.fileName()),
                 qPrintable(file.errorString()));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kirvan-sounds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool written = write(folder, "fault.wav", kirvan::tones::faultChirp())
                         && write(folder, "alarm.wav", kirvan::tones::alarmSweep());
    return written ? 0 : 1;
}
