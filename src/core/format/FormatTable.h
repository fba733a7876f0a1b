#pragma once

#include <QString>
#include <array>
#include <vector>

class ProfileStore;

// The markup vocabulary and the view's preferences, in stored form.
struct FormatTable {
    static constexpr int BaseCount = 15;
    static constexpr int UserCount = 10;
    static constexpr int WordCount = 10;
    static constexpr int FaceMaxLength = 31;
    // Also what the window shows before a table reaches it.
    static constexpr int DefaultTransparency = 50;

    struct Pair {
        QString begin, end;
    };
    struct UserFormat {
        QString name, begin, end;
    };

    // The defaults stand in settings(); the constructor puts them here.
    std::array<QString, WordCount> words;
    QString face;
    int size = 0;
    std::array<Pair, BaseCount> base;       // base formats 1..15 at 0..14
    std::array<UserFormat, UserCount> user; // user formats 1..10 at 0..9
    int transparency = 0;
    QString webPage;

    // One stored setting: its section (a string-table ID), key, default and the field of
    // this table it fills, which is either a text or a number.
    struct Setting {
        int section;
        QString key;
        QString* text = nullptr;
        int* number = nullptr;
        QString textDefault;
        int numberDefault = 0;
    };
    // Every setting of the table in the order the settings file is written, bound to the
    // fields of this table.
    std::vector<Setting> settings();

    // Create: every field at its default.
    FormatTable();

    void load(const ProfileStore& store);
    // face and size are those of the pane's current font.
    void save(ProfileStore& store, const QString& currentFace, int currentSize) const;

    const Pair& baseFormat(int number) const { return base.at(number - 1); }
    const UserFormat& userFormat(int number) const { return user.at(number - 1); }
    bool isBaseActive(int number) const;
    bool isUserActive(int number) const;

    static int normaliseTransparency(int value);
};

// The text a stored format text inserts: every backslash removed.
QString insertedForm(QString stored);
