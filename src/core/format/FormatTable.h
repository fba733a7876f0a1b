#pragma once

#include <QString>
#include <array>

class ProfileStore;

// The markup vocabulary and the view's preferences, in stored form.
struct FormatTable {
    static constexpr int BaseCount = 15;
    static constexpr int UserCount = 10;
    static constexpr int WordCount = 10;
    static constexpr int FaceMaxLength = 31;

    struct Pair {
        QString begin, end;
    };
    struct UserFormat {
        QString name, begin, end;
    };

    std::array<QString, WordCount> words;
    QString face;
    int size = 14;
    std::array<Pair, BaseCount> base;       // base formats 1..15 at 0..14
    std::array<UserFormat, UserCount> user; // user formats 1..10 at 0..9
    int transparency = 50;
    QString webPage;

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

// Stored row labels of the base formats (the base-format dialog's rows).
const char16_t* baseFormatLabel(int number);
