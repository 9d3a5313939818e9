#include "reference.h"

const ReferenceEntry *Reference::find(ReferenceKind kind, const QString &number) const
{
    for (const ReferenceGroup &group : groups(kind)) {
        for (const ReferenceEntry &entry : group.entries) {
            if (entry.number == number)
                return &entry;
        }
    }
    return nullptr;
}

int Reference::entryCount(ReferenceKind kind) const
{
    int count = 0;
    for (const ReferenceGroup &group : groups(kind))
        count += int(group.entries.size());
    return count;
}
