#pragma once
// The TLS sessions that servers hand out, kept so that the next connection to the same server can
// resume one instead of running a full handshake. The process has one cache; any thread may call
// it, every call takes the cache's lock for a few map operations and never waits for anything
// else.
//
// Sessions are filed under a peer: a text naming the server, the route to it and the TLS options,
// so that a session is only ever offered where it was made. A peer keeps its newest sessions, at
// most sessionsPerPeer; when a new peer would exceed peerCapacity, the peer used least recently
// goes with all its sessions.
//
// Handle is a shared owner of one session (for OpenSSL a shared_ptr that frees it), so a session
// the cache drops stays valid for the connection that is using it.
#include <QHash>
#include <QString>
#include <cstddef>
#include <deque>
#include <list>
#include <mutex>

namespace hl {

template <typename Handle> class TlsSessionCache {
public:
    TlsSessionCache(std::size_t peerCapacity, std::size_t sessionsPerPeer)
        : peerCapacity_(peerCapacity), sessionsPerPeer_(sessionsPerPeer) {}

    // Files session as the newest of peer. A single-use session (a TLS 1.3 ticket, which a client
    // should not present twice) is handed out once; any other as often as asked for.
    void put(const QString& peer, Handle session, bool singleUse) {
        std::lock_guard lock(mutex_);
        Peer& entry = touch(peer);
        entry.sessions.push_front({std::move(session), singleUse});
        if (entry.sessions.size() > sessionsPerPeer_) entry.sessions.pop_back();
        while (peers_.size() > peerCapacity_) {
            index_.remove(peers_.back().name);
            peers_.pop_back();
        }
    }

    // The newest session of peer, or an empty handle when it has none. A single-use session leaves
    // the cache; the peer counts as used.
    Handle take(const QString& peer) {
        std::lock_guard lock(mutex_);
        const auto found = index_.constFind(peer);
        if (found == index_.constEnd()) return Handle{};
        Peer& entry = touch(peer);
        if (entry.sessions.empty()) return Handle{};
        Stored newest = entry.sessions.front();
        if (newest.singleUse) entry.sessions.pop_front();
        return newest.session;
    }

    // Forgets session: one the server would not resume, or one whose handshake failed.
    void discard(const QString& peer, const Handle& session) {
        std::lock_guard lock(mutex_);
        const auto found = index_.constFind(peer);
        if (found == index_.constEnd()) return;
        std::erase_if((*found)->sessions, [&](const Stored& stored) { return stored.session == session; });
    }

    std::size_t peerCount() const {
        std::lock_guard lock(mutex_);
        return peers_.size();
    }
    std::size_t sessionCount() const {
        std::lock_guard lock(mutex_);
        std::size_t count = 0;
        for (const Peer& entry : peers_)
            count += entry.sessions.size();
        return count;
    }

private:
    struct Stored {
        Handle session;
        bool singleUse;
    };
    struct Peer {
        QString name;
        std::deque<Stored> sessions; // newest first
    };
    using PeerList = std::list<Peer>;

    // The peer's entry, made if new, moved to the front as the most recently used.
    Peer& touch(const QString& peer) {
        const auto found = index_.constFind(peer);
        if (found != index_.constEnd()) {
            peers_.splice(peers_.begin(), peers_, *found);
        } else {
            peers_.push_front(Peer{peer, {}});
            index_.insert(peer, peers_.begin());
        }
        return peers_.front();
    }

    const std::size_t peerCapacity_;
    const std::size_t sessionsPerPeer_;
    mutable std::mutex mutex_;
    PeerList peers_; // most recently used first
    QHash<QString, typename PeerList::iterator> index_;
};

} // namespace hl
