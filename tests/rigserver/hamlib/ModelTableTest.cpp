// Every model the linked Hamlib lists, from its capabilities alone: each frequency and mode write
// the window makes is carried out by functions the model has, or refused with a reason.

#include <gtest/gtest.h>

#include "HamlibInternals.h"
#include "ParamBits.h"
#include "WritePlan.h"

using namespace OmniRig;

TEST(ModelTable, EveryWriteOfEveryModelIsCarriedOutOrRefusedWithAReason) {
    using W = RigWrite::Kind;
    const std::vector<RigWrite> current = {{W::Frequency, 7'074'000, VFOA}, {W::Mode, USB, VFOA}};
    const std::vector<RigWrite> other = {{W::Vfo, VFOB, VFOA},
                                         {W::Frequency, 7'074'000, VFOB},
                                         {W::Mode, USB, VFOB},
                                         {W::Vfo, VFOA, VFOB}};
    const RigState radio{VFOA};  // on VFO A, nothing else known
    int cannotSelect = 0;
    ASSERT_TRUE(HamlibLibrary::runsAsBuilt());
    ASSERT_GT(HamlibLibrary::models().size(), 200u);
    for (const auto& model : HamlibLibrary::models()) {
        const HamlibFacts f = HamlibInternals::ofModel(model.number);
        const RigAbilities abilities = RigAbilities::of(f);
        cannotSelect += !abilities.selectsVfo;
        for (const auto& writes : {current, other}) {
            const auto ops = planWrites(radio, writes, abilities);
            for (const RadioOp& op : ops) {
                const bool frequency = op.kind == RadioOp::Kind::Frequency;
                const uint64_t byName = frequency ? RIG_TARGETABLE_FREQ : RIG_TARGETABLE_MODE;
                const bool has = op.kind == RadioOp::Kind::SelectVfo
                                     ? f.setVfo
                                     : (frequency ? f.setFreq : f.setMode) &&
                                           (!op.named || (f.targetable & byName));
                EXPECT_TRUE(has) << model.number << " " << model.name << ": no function for op "
                                 << static_cast<int>(op.kind);
            }
            for (const RigWrite& w : writes) {
                const bool planned = std::any_of(ops.begin(), ops.end(), [&](const RadioOp& op) {
                    return op.vfo == w.vfo && op.value == w.value;
                });
                const auto reason = abilities.refusal(w, radio.vfo);
                EXPECT_TRUE(w.kind == W::Vfo || planned != (reason && !reason->empty()))
                    << model.number << " " << model.name << ": the write of "
                    << static_cast<int>(w.kind) << " on VFO " << w.vfo
                    << (planned ? " is planned and refused" : " is neither planned nor refused");
            }
        }
    }
    // A third of them: the FT-891, FT-897, receivers, SDRs.
    EXPECT_GT(cannotSelect, 50);
}
