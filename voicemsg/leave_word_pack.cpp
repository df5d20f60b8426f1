#include "voicemsg/leave_word_pack.h"

#include <cstring>
#include <new>

#include "voicemsg/leave_word_dialog.h"
#include "voicemsg/pack_text.h"

CStAudioLeaveWord& CStAudioLeaveWord::operator=(const CStAudioLeaveWord& other) {
    data = other.data;
    size = other.size;
    return *this;
}

namespace voicemsg {

CStAudioLeaveWord* MakeLeaveWordPack(LeaveWordDialog& dialog) {
    // Zeroed, so that the text is also terminated for hosts that read it as a string.
    char* block = new (std::nothrow) char[kPackTextCapacity]();
    uint32_t size = 0;
    if (block) {
        size = dialog.BuildPackText();
        if (size > kPackTextCapacity)
            size = 0;
        else
            std::memcpy(block, dialog.Text(), size);
    }
    auto* pack = new (std::nothrow) CStAudioLeaveWord{block, size};
    if (!pack) delete[] block;
    return pack;
}

void FreeLeaveWordPack(CStAudioLeaveWord* pack) {
    if (!pack) return;
    delete[] pack->data;
    delete pack;
}

}  // namespace voicemsg
