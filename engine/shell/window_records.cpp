#include "window_records.h"

#include "core/error.h"

#include <array>
#include <memory>

namespace mv {
namespace {

struct RecordTable {
    std::array<WindowRecord, kWindowRecordCount> records;
    int start = 0;
};

RecordTable& table()
{
    static const std::unique_ptr<RecordTable> t = [] {
        auto made = std::make_unique<RecordTable>();
        for (int k = 0; k < kWindowRecordCount; ++k)
            made->records[k].index = k;
        return made;
    }();
    return *t;
}

int find_free(const RecordTable& t)
{
    for (int k = t.start; k < kWindowRecordCount; ++k)
        if (t.records[k].free)
            return k;
    for (int k = 0; k < t.start; ++k)
        if (t.records[k].free)
            return k;
    return -1;
}

} // namespace

int window_record_allocate(int& index, WindowRecord*& record)
{
    RecordTable& t = table();
    const int k = find_free(t);
    if (k < 0)
        return kTooManyImages;
    WindowRecord& r = t.records[k];
    r = WindowRecord{};
    r.index = k;
    r.free = false;
    t.start = (t.start + 1) % kWindowRecordCount;
    index = k;
    record = &r;
    return kOk;
}

void window_record_release(int index)
{
    WindowRecord* r = window_record_at(index);
    if (!r)
        return;
    image_free(r->image);
    image_free(r->display);
    r->free = true;
}

WindowRecord* window_record_at(int index)
{
    if (index < 0 || index >= kWindowRecordCount)
        return nullptr;
    return &table().records[index];
}

void window_records_reset()
{
    RecordTable& t = table();
    for (int k = 0; k < kWindowRecordCount; ++k) {
        t.records[k] = WindowRecord{};
        t.records[k].index = k;
    }
    t.start = 0;
}

} // namespace mv
