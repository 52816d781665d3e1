#pragma once

#include <array>
#include <QString>

class SettingsStore;

// The editor's ten macro slots, each a recorded macro in the editor's text form (empty: no macro).
// They are kept in the settings file's group "Macros", beside the section "Settings".
class MacroSlots
{
public:
    static constexpr int Count = 10;
    static constexpr char Group[] = "Macros";

    QString slot(int number) const { return m_slots.at(size_t(number)); }
    void setSlot(int number, const QString& macro) { m_slots.at(size_t(number)) = macro; }
    bool isEmpty(int number) const { return m_slots.at(size_t(number)).isEmpty(); }

    // Empties every slot.
    void clear();

    // The slot a new recording goes to: the first empty one, else the one after the last recorded.
    int nextSlot(int lastRecorded) const;

    // Reads "Macros/Slot0" to "Macros/Slot9"; a missing key is an empty slot.
    void load(const SettingsStore& store);

    // Writes all ten slots, empty ones too.
    void save(SettingsStore& store) const;

    // The settings key of a slot: "Slot0" to "Slot9".
    static QString key(int number);

private:
    std::array<QString, Count> m_slots;
};
