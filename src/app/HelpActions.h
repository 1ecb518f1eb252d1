#pragma once

#include "app/ReleaseAddresses.h"

// The Help menu's commands that leave the application: a new mail to the maker
// and the maker's web page, both through the workspace service. Main thread only.
class HelpActions {
public:
    explicit HelpActions(const ReleaseAddresses& addresses) : m_addresses(addresses) {}

    bool canEmailAuthor() const { return !m_addresses.authorEmail.isEmpty(); }
    bool canVisitWebPage() const { return !m_addresses.webPageURL.isEmpty(); }

    // Starts a new message in the user's mail program; an address that makes
    // no mail address, or a mail program that cannot be started, is reported.
    void PerformEmailToAuthor() const;
    // Opens the web page in the default browser; a failure is not reported.
    void PerformVisitWebPage() const;

private:
    ReleaseAddresses m_addresses;
};
