// Fuzzes the reading of reminder times and the time box's stepping: any bytes
// read without UB; a date that reads back is one that exists and prints back to
// itself; a step on a box text keeps its length and its field selected.
#include "reminders/ReminderCore.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::optional<reminders::DateTime> time = reminders::ReadReminderTime(input);
    if (time) {
        if (time->Year < 100 || time->Year > 9999 || time->Day > reminders::DaysInMonth(time->Year, time->Month) ||
            time->Hour > 23 || time->Minute > 59 || time->Second > 59 ||
            reminders::ReadReminderTime(reminders::FormatReminderTime(*time)) != time) {
            abort();
        }
    }
    reminders::DateCheckText(input);
    if (input.size() == reminders::kTimeTextLength && !input.empty()) {
        int start = static_cast<unsigned char>(input[0]) % 20;
        reminders::SteppedText stepped =
            reminders::StepSelectedField(input, {start, 0}, input[1] & 1 ? 1 : -1, reminders::YearRangeFor(2026));
        if (time && (stepped.Text.size() != input.size() ||
                     stepped.Selection != reminders::SnapSelectionToField({start, 0}))) {
            abort();
        }
    }
    return 0;
}
