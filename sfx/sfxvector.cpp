#include "sfx/sfxvector.h"

namespace tarv::sfx {

SfxVector::SfxVector(std::vector<std::string> ids)
    : m_ids(std::make_shared<const std::vector<std::string>>(std::move(ids)))
{
    m_pointers.reserve(m_ids->size());
    for (const std::string& id : *m_ids)
        m_pointers.push_back(id.c_str());
}

} // namespace tarv::sfx
