// A game as a DNS-SD service through Avahi.
#include "dnssd_announcer.h"

#include "beacon_codec.h"
#include "discovery_limits.h"
#include "txt_record.h"

#include <avahi-common/alternative.h>
#include <avahi-common/domain.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>

#include <QTimer>

namespace discovery {

namespace {

    // Renames tried after clashes with other services of the same name; past
    // this the network is answering every name with a clash, and we give up.
    constexpr int kMaxRenames = 12;

    // The name used when the host's name is empty or not a valid instance name.
    constexpr const char* kFallbackName = "Lexmire game";

    AvahiStringList* txtList(const Announcement& a)
    {
        AvahiStringList* list = nullptr;
        const QList<QByteArray> strings = encodeTxt(a);
        // avahi_string_list_add puts each string in front: add them last to first.
        for (auto it = strings.crbegin(); it != strings.crend(); ++it)
            list = avahi_string_list_add_arbitrary(
                list, reinterpret_cast<const uint8_t*>(it->constData()), static_cast<size_t>(it->size()));
        return list;
    }

} // namespace

DnsSdAnnouncer::~DnsSdAnnouncer()
{
    // Freeing the client (in session_) takes the entry group and its records with it.
    group_ = nullptr;
}

bool DnsSdAnnouncer::open()
{
    return session_.open([this](AvahiClient* client, AvahiClientState state) { clientState(client, state); });
}

void DnsSdAnnouncer::publish(const Announcement& announcement)
{
    if (!announcement_ || announcement_->hostName != announcement.hostName) {
        name_ = announcedText(announcement.hostName, kMaxServiceNameBytes);
        if (name_.isEmpty() || !avahi_is_valid_service_name(name_.constData()))
            name_ = kFallbackName;
        renames_ = 0;
    }
    announcement_ = announcement;
    if (clientRunning_)
        registerService(session_.client());
}

void DnsSdAnnouncer::withdraw()
{
    announcement_.reset();
    registered_.reset();
    // An empty group sends the network goodbyes for the records it held.
    if (group_ != nullptr)
        avahi_entry_group_reset(group_);
}

void DnsSdAnnouncer::clientState(AvahiClient* client, AvahiClientState state)
{
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        clientRunning_ = true;
        if (announcement_)
            registerService(client);
        break;
    case AVAHI_CLIENT_S_COLLISION:
    case AVAHI_CLIENT_S_REGISTERING:
        // The daemon is (re)naming this machine; our records go out again
        // once it runs under its new name.
        clientRunning_ = false;
        registered_.reset();
        if (group_ != nullptr)
            avahi_entry_group_reset(group_);
        break;
    case AVAHI_CLIENT_FAILURE:
        clientRunning_ = false;
        fail();
        break;
    case AVAHI_CLIENT_CONNECTING:
        break;
    }
}

void DnsSdAnnouncer::registerService(AvahiClient* client)
{
    if (group_ == nullptr) {
        group_ = avahi_entry_group_new(client, &DnsSdAnnouncer::groupState, this);
        if (group_ == nullptr) {
            fail();
            return;
        }
    }
    const Announcement& a = *announcement_;
    if (registered_ && registered_->hostName == a.hostName && registered_->gamePort == a.gamePort) {
        // Only the status moved: the text record alone is replaced, in place.
        AvahiStringList* txt = txtList(a);
        const int error = avahi_entry_group_update_service_txt_strlst(group_, AVAHI_IF_UNSPEC,
            AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0), name_.constData(), kServiceType, nullptr, txt);
        avahi_string_list_free(txt);
        if (error == AVAHI_OK) {
            registered_ = a;
            return;
        }
    }
    avahi_entry_group_reset(group_);
    registered_.reset();
    addService();
}

void DnsSdAnnouncer::addService()
{
    while (announcement_) {
        AvahiStringList* txt = txtList(*announcement_);
        const int error = avahi_entry_group_add_service_strlst(group_, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
            AvahiPublishFlags(0), name_.constData(), kServiceType, nullptr, nullptr, announcement_->gamePort,
            txt);
        avahi_string_list_free(txt);
        if (error == AVAHI_ERR_COLLISION && renames_ < kMaxRenames) {
            takeNextName();
            continue;
        }
        if (error != AVAHI_OK || avahi_entry_group_commit(group_) != AVAHI_OK) {
            fail();
            return;
        }
        registered_ = announcement_;
        return;
    }
}

void DnsSdAnnouncer::takeNextName()
{
    ++renames_;
    char* next = avahi_alternative_service_name(name_.constData());
    name_ = next;
    avahi_free(next);
}

void DnsSdAnnouncer::groupState(AvahiEntryGroup* group, AvahiEntryGroupState state, void* self)
{
    auto* announcer = static_cast<DnsSdAnnouncer*>(self);
    if (state == AVAHI_ENTRY_GROUP_COLLISION) {
        // Another service on the network has our name: "Ann" becomes "Ann #2".
        if (announcer->renames_ >= kMaxRenames) {
            announcer->fail();
            return;
        }
        announcer->takeNextName();
        avahi_entry_group_reset(group);
        announcer->registered_.reset();
        announcer->group_ = group;
        announcer->addService();
    } else if (state == AVAHI_ENTRY_GROUP_FAILURE) {
        announcer->fail();
    }
}

void DnsSdAnnouncer::fail()
{
    // Reported from the event loop, since the owner answers by deleting us and
    // we may be deep inside an Avahi callback now.
    QTimer::singleShot(0, &context_, [this] {
        // A copy: the owner's answer may destroy this object, onFailed with it.
        const std::function<void()> report = onFailed;
        if (report)
            report();
    });
}

} // namespace discovery
