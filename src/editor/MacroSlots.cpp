#include "editor/MacroSlots.h"

#include "settings/SettingsStore.h"

void MacroSlots::clear()
{
    m_slots.fill(QString());
}

int MacroSlots::nextSlot(int lastRecorded) const
{
    for (int i = 0; i < Count; ++i) {
        if (isEmpty(i)) {
            return i;
        }
    }
    return lastRecorded < 0 ? 0 : (lastRecorded + 1) % Count;
}

void MacroSlots::load(const SettingsStore& store)
{
    for (int i = 0; i < Count; ++i) {
        m_slots[size_t(i)] = store.getIn(QLatin1String(Group), key(i));
    }
}

void MacroSlots::save(SettingsStore& store) const
{
    for (int i = 0; i < Count; ++i) {
        store.saveIn(QLatin1String(Group), key(i), m_slots[size_t(i)]);
    }
}

QString MacroSlots::key(int number)
{
    return QStringLiteral("Slot") + QString::number(number);
}
