// The other side of the settings fault tests: saves numbered records until killed, or one value once.
//
//   robustness_settings_writer records <first>   saves record <first>, <first>+1, ... for ever,
//                                                 printing each number once its save has returned
//   robustness_settings_writer once <value>        saves <value> once; on failure prints the error
//                                                 number and text and ends with status 3
#include "AppError.h"
#include "SettingsStore.h"
#include "SettingsRecord.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "records") == 0) {
        std::printf("ready\n");
        std::fflush(stdout);
        for (long n = std::atol(argv[2]);; ++n) {
            settings::SaveSetting(robustness::kApp, robustness::kSection, robustness::kRecordKey, robustness::Record(n));
            std::printf("%ld\n", n);
            std::fflush(stdout);
        }
    }
    if (argc == 3 && std::strcmp(argv[1], "once") == 0) {
        try {
            settings::SaveSetting(robustness::kApp, robustness::kSection, robustness::kRecordKey, QString::fromLocal8Bit(argv[2]));
            return 0;
        } catch (const errors::AppError& error) {
            std::fprintf(stderr, "error %d: %s\n", error.number(), error.what());
            return 3;
        }
    }
    std::fprintf(stderr, "usage: %s records <first> | once <value>\n", argv[0]);
    return 2;
}
