#include "app/start_up.h"

#include "platform/text_rules.h"

namespace quendro {

std::u16string versionCaption() {
    return u"Ver 3.30\r2010/06/29\r" + std::u16string(kPublisherDomain);
}

std::u16string seasonYearOf(const LocalDateTime& today) {
    // The month of the date written as yyyy/mm/dd, compared as text with "04".
    std::u16string month = midChars(shortDateText(today), 6, 2);
    int year = month < u"04" ? today.year - 1 : today.year;
    return zeroFilled(year, 4);
}

}  // namespace quendro
