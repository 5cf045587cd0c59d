#pragma once

#include <memory>

struct ServerProfile;

// The five numbered server profiles of the settings. The profiles live behind a pointer so
// that the settings record does not pull the profile's definition into every file that reads
// a setting; files that look inside a profile include "settings/ServerProfile.h".
class ProfileTable {
public:
    static constexpr int Count = 5;

    ProfileTable();
    ProfileTable(const ProfileTable& other);
    ProfileTable& operator=(const ProfileTable& other);
    ~ProfileTable();

    ServerProfile& operator[](int index);
    const ServerProfile& operator[](int index) const;
    static constexpr int size() { return Count; }

    ServerProfile* begin();
    ServerProfile* end();
    const ServerProfile* begin() const;
    const ServerProfile* end() const;

    bool operator==(const ProfileTable& other) const;

private:
    struct Profiles;
    std::unique_ptr<Profiles> m_profiles;
};
