// Test helper: writes <count> values named <prefix>-<n> into a registry file, one update at a time.
//   registry_writer <file> <prefix> <count>
// Exit status 0 when every write succeeded; run several at once to test concurrent writers.
#include "Registry.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    const int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("%1-%2").arg(prefix).arg(i);
        QString reason;
        const component::HResult result =
            component::registry::setValues(file, {{{QStringLiteral("Writers"), prefix}, name, name}}, &reason);
        if (component::failed(result)) {
            std::fprintf(stderr, "%s\n", qPrintable(reason));
            return 1;
        }
    }
    return 0;
}
