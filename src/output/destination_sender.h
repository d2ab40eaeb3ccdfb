// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/send_request.h"
#include "output/send_services.h"

namespace output {

// Sends each request to the sender of its destination. A workbook, database or document that
// is named must exist: the send refuses a name that matches nothing. A failed send always says
// so in its status.
class DestinationSender : public Sender {
public:
    explicit DestinationSender(SendServices services) : m_services(services) {}
    SendResult send(const SendRequest& request, const SendRecords& records) override;

private:
    SendResult sendToDestination(const SendRequest& request, const SendRecords& records);

    SendServices m_services;
};

}  // namespace output
