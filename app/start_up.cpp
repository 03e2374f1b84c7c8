#include "app/start_up.h"

#include "platform/text_rules.h"

namespace quendro {

std::u16string versionCaption() {
    return u"Ver 3.30\r2010/06/29\r" + std::u16string(kPublisherDomain);
}

}  // namespace quendro
