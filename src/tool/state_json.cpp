#include "tool/state_json.h"

#include "core/state/app_state.h"

#include <QJsonArray>

namespace aquarium {

QString AerationName(int position)
{
    switch (AerationPosition(position)) {
    case AerationPosition::Centre: return QStringLiteral("centre");
    case AerationPosition::Left: return QStringLiteral("left");
    case AerationPosition::All: return QStringLiteral("all");
    case AerationPosition::Right: break;
    }
    return QStringLiteral("right");
}

QJsonObject StateToJson(const AppState& state, const QStringList& messages)
{
    const Aquarium& doc = state.Doc;
    QJsonObject json;
    json[u"Caption"] = state.Caption;
    json[u"CurrentFile"] = state.CurrentFile;
    json[u"DataFolder"] = doc.DataFolder;
    json[u"DataSubFolder"] = doc.DataSubFolder;
    json[u"Edition98"] = state.Edition98;
    json[u"MidiFolder"] = state.MidiFolder;
    json[u"MidiListFile"] = state.MidiListFile;
    json[u"RandomList"] = QJsonArray::fromStringList(state.RandomList);
    json[u"MidiList"] = QJsonArray::fromStringList(state.MidiList);

    QJsonArray slots;
    for (const FishSlot& slot : doc.Fish) {
        slots.append(QJsonObject{{u"CharacterName"_qs, slot.CharacterName},
                                 {u"FishDataNo"_qs, slot.FishDataNo},
                                 {u"FishAmount"_qs, slot.FishAmount}});
    }
    json[u"FishSlots"] = slots;
    json[u"FishCountsFixed"] = doc.FishCountsFixed;
    json[u"AerationPosition"] = AerationName(int(doc.Aeration));
    json[u"BackgroundSource"] = doc.BackgroundSource;
    json[u"BackgroundTiling"] = doc.BackgroundTiling;
    json[u"BackgroundColourFill"] = doc.BackgroundColourFill;
    json[u"BackgroundColour"] =
            QJsonArray{doc.BackgroundRed, doc.BackgroundGreen, doc.BackgroundBlue};
    json[u"AquariumType"] = doc.AquariumType;
    json[u"SandName"] = doc.SandName;
    json[u"BubbleName"] = doc.BubbleName;
    json[u"FoodName"] = doc.FoodName;
    json[u"SoundName"] = doc.SoundName;
    json[u"IntermittentSound"] = doc.IntermittentSound;
    json[u"IntermittentStep"] = doc.IntermittentStep;

    QJsonArray bitmaps;
    for (int e = 0; e < kMaxObjectBmps; ++e) {
        const QImage& sprite = state.View.Sprites.Entries[size_t(e)].Sprite;
        bitmaps.append(QJsonObject{{u"BmpName"_qs, doc.ObjectBmpTable[size_t(e)].BmpName},
                                   {u"Width"_qs, sprite.width()},
                                   {u"Height"_qs, sprite.height()}});
    }
    json[u"ObjectBmpTable"] = bitmaps;
    json[u"LastObjectBmp"] = doc.LastObjectBmp;

    QJsonArray objects;
    for (int i = 0; i <= doc.LastObject && i < kMaxObjects; ++i) {
        const PlacedObject& o = doc.ObjectTable[size_t(i)];
        objects.append(QJsonObject{{u"BmpIndex"_qs, o.BmpIndex},
                                   {u"Layer"_qs, o.Layer},
                                   {u"VerticalAnchor"_qs, o.VerticalAnchor},
                                   {u"XPosition"_qs, o.XPosition},
                                   {u"Sway"_qs, int(o.Sway)},
                                   {u"Spread"_qs, int(o.Spread)}});
    }
    json[u"ObjectTable"] = objects;
    json[u"LastObject"] = doc.LastObject;
    json[u"ScreenWidth"] = state.ScreenWidth;
    json[u"ScreenHeight"] = state.ScreenHeight;
    json[u"SandHeight"] = state.View.SandHeight;
    json[u"Messages"] = QJsonArray::fromStringList(messages);
    return json;
}

} // namespace aquarium
