#pragma once

#include "Scenario.h"

#include <string>

namespace sim {

// What the simulated receiver transmits, one block at a time.
class CStreamSource {
public:
    virtual ~CStreamSource() = default;

    virtual void AppendBlock(std::string& strOut) = 0;
    // True when blocks are epochs, to be sent one per second.
    virtual bool IsEpochTimed() const = 0;
};

class CScenarioSource : public CStreamSource {
public:
    explicit CScenarioSource(const ScenarioOptions& options);

    void AppendBlock(std::string& strOut) override;
    bool IsEpochTimed() const override { return true; }

private:
    CScenario m_scenario;
};

// Plays a capture or record file over and over, one pass per block.
class CFileSource : public CStreamSource {
public:
    // Fails on a missing, unreadable or empty file.
    bool Load(const std::string& strPath, std::string& strError);

    void AppendBlock(std::string& strOut) override;
    bool IsEpochTimed() const override { return false; }

private:
    std::string m_strContent;
};

} // namespace sim
