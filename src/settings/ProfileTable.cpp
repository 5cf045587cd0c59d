#include "settings/ProfileTable.h"

#include "settings/ServerProfile.h"

#include <algorithm>
#include <array>

struct ProfileTable::Profiles {
    std::array<ServerProfile, Count> items;
};

ProfileTable::ProfileTable() : m_profiles(std::make_unique<Profiles>()) {}

ProfileTable::ProfileTable(const ProfileTable& other)
    : m_profiles(std::make_unique<Profiles>(*other.m_profiles)) {}

ProfileTable& ProfileTable::operator=(const ProfileTable& other) {
    if (this != &other)
        *m_profiles = *other.m_profiles;
    return *this;
}

ProfileTable::~ProfileTable() = default;

ServerProfile& ProfileTable::operator[](int index) {
    return m_profiles->items.at(index);
}

const ServerProfile& ProfileTable::operator[](int index) const {
    return m_profiles->items.at(index);
}

ServerProfile* ProfileTable::begin() {
    return m_profiles->items.data();
}
ServerProfile* ProfileTable::end() {
    return begin() + Count;
}
const ServerProfile* ProfileTable::begin() const {
    return m_profiles->items.data();
}
const ServerProfile* ProfileTable::end() const {
    return begin() + Count;
}

bool ProfileTable::operator==(const ProfileTable& other) const {
    return std::equal(begin(), end(), other.begin());
}
