#include "FuzzSupport.h"
#include "main_window/CommandList.h"

// The command list file: any bytes give some list, and the search box's keys keep the
// selection inside it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    CommandList list;
    list.select(3);
    list.MakeList(Fuzz::Latin1(data, size));
    for (const int key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Up, Qt::Key_PageUp, Qt::Key_Home}) {
        if (list.selectedIndex() >= list.count()) {
            Fuzz::Fail("selection beyond the list");
        }
        (void)CommandList::StripMarks(list.selectedEntry());
        list.MoveByKey(key, Qt::ShiftModifier);
    }
    return 0;
}
