// SimVariables: every simulator value the FMS reads or commands, by its data-server offset, in
// engineering units, over one of two transports. Cached getters return what the last Update read;
// the others cost one exchange each. Not connected is permanent: reads give their failure value.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace halvex {

constexpr float kEarthRadiusNm = 3443.9185f;
constexpr float kRadToDeg = 57.29578f;

struct PositionTriple {
    float latRad = 0;
    float lonRad = 0;
    float radiusNm = 0;
};

class SimVariables {
public:
    static constexpr const char* kNoText = "\n";  // the failure value of the path reads

    virtual ~SimVariables() = default;  // implementations close their transport

    virtual int Update();  // 0, or -1 when not connected or at the first failed exchange
    virtual bool IsConnected() const { return connected_; }

    // ---- cached by Update ----
    virtual float Latitude() const { return position_.latRad; }    // radians
    virtual float Longitude() const { return position_.lonRad; }   // radians
    virtual const PositionTriple& Position() const { return position_; }
    virtual float TrueHeading() const { return trueHeadingDeg_; }
    virtual float MagneticVariation() const { return magneticVariationDeg_; }  // magnetic = true - variation
    virtual float Altitude() const { return altitudeFt_; }
    virtual float RadioAltitude() const { return radioAltitudeFt_; }
    virtual float VerticalSpeed() const { return verticalSpeedFpm_; }
    virtual float IndicatedAirspeed() const { return indicatedAirspeedKt_; }
    virtual float TrueAirspeed() const { return trueAirspeedKt_; }
    virtual float GroundSpeed() const { return groundSpeedKt_; }
    virtual float LongitudinalAcceleration() const { return longitudinalAccelFtPerS2_; }
    virtual float WindDirection() const { return windDirectionDeg_; }
    virtual float WindSpeed() const { return windSpeedKt_; }
    virtual float GrossWeight() const { return grossWeight_; }
    virtual bool AutopilotMaster() const { return autopilotMaster_; }
    virtual bool FlightDirector() const { return flightDirector_; }

    // ---- read on call ----
    virtual std::string SimulatorPath();
    virtual std::string AircraftFilePath();
    virtual std::string AircraftFolder();  // the aircraft file's folder, ending in its backslash

    virtual uint8_t UtcHour() const { return utcHour_; }      // cached
    virtual uint8_t UtcMinute() const { return utcMinute_; }  // cached
    virtual uint8_t UtcSecond() const { return utcSecond_; }  // cached

    virtual uint16_t Year();
    virtual uint8_t Month();
    virtual uint8_t DayOfMonth();

    // ---- commands ----
    virtual void SetAutopilotMaster(bool on);
    virtual void SetFlightDirector(bool on);
    virtual void EngageHeadingHold();
    virtual void EngageNavHold();
    virtual void EngageAltitudeHold();
    virtual void SetAutopilotVerticalSpeed(float fpm);
    virtual void EngageAirspeedHold();
    virtual void EngageApproachHold();
    virtual float AutopilotHeading();  // magnetic degrees
    virtual void SetAutopilotHeading(float headingDeg, bool isTrue);
    virtual void SetAutopilotAltitude(float feet);
    virtual void SetAutopilotAirspeed(float knots);

    // ---- radios ----
    virtual float Nav1RelativeBearing();
    virtual float Nav1DmeDistance();
    virtual float Nav1LateralNeedle();
    virtual float Nav1Course();
    virtual void SetNav1Course(float courseDeg);
    virtual bool Nav1GlideslopeValid();
    virtual float Nav1VerticalNeedle();
    virtual float Nav2RelativeBearing();
    virtual float Nav2DmeDistance();
    virtual float Nav2LateralNeedle();
    virtual float Nav2Course();
    virtual void SetNav2Course(float courseDeg);
    virtual bool Nav2GlideslopeValid();
    virtual float Nav2VerticalNeedle();

    uint32_t LastResult() const { return lastResult_; }

    // (month, day of month) for a 1-based day of year; (0, 0) outside the year.
    std::pair<uint8_t, uint8_t> DateOfDay(uint16_t year, uint16_t dayOfYear) const;
    static bool IsLeapYear(uint16_t year);

protected:
    SimVariables();
    // Called by the implementation's constructor once its transport has tried to open.
    void SetConnected(bool connected) { connected_ = connected; }
    uint32_t& LastResultRef() { return lastResult_; }

    // The transport: queue one request, then exchange. Both set the transport's result code.
    virtual bool QueueRead(uint32_t offset, uint32_t sizeBytes, void* destination, uint32_t& result) = 0;
    virtual bool QueueWrite(uint32_t offset, uint32_t sizeBytes, const void* source, uint32_t& result) = 0;
    virtual bool Process(uint32_t& result) = 0;
    // The transport-specific part of Update: altitude, then radio altitude.
    virtual bool ReadAltitudes() = 0;

    // One read in one exchange; false (destination untouched) when not connected or on failure.
    bool ReadOne(uint32_t offset, uint32_t sizeBytes, void* destination);
    void WriteOne(uint32_t offset, uint32_t sizeBytes, const void* source);

    // What ReadAltitudes stores into.
    float altitudeFt_ = -1.0f;
    float radioAltitudeFt_ = -1.0f;

private:
    std::string readPath(uint32_t offset);

    uint32_t lastResult_ = 0;
    PositionTriple position_{-1.0f, -1.0f, kEarthRadiusNm};
    float verticalSpeedFpm_ = -1.0f;
    float trueHeadingDeg_ = -1.0f;
    float magneticVariationDeg_ = -1.0f;
    float indicatedAirspeedKt_ = -1.0f;
    float trueAirspeedKt_ = -1.0f;
    float groundSpeedKt_ = -1.0f;
    float windDirectionDeg_ = -1.0f;
    float windSpeedKt_ = -1.0f;
    float longitudinalAccelFtPerS2_ = -1.0f;
    float grossWeight_ = -1.0f;
    uint8_t utcHour_ = 0, utcMinute_ = 0, utcSecond_ = 0;
    bool autopilotMaster_ = false;
    bool flightDirector_ = false;
    bool connected_ = false;
    std::array<std::pair<uint8_t, uint8_t>, 365> days_{};
    std::array<std::pair<uint8_t, uint8_t>, 366> leapDays_{};
};

// Over the simulator's inter-process data server.
class IpcSimVariables : public SimVariables {
public:
    IpcSimVariables();
    ~IpcSimVariables() override;

protected:
    bool QueueRead(uint32_t offset, uint32_t sizeBytes, void* destination, uint32_t& result) override;
    bool QueueWrite(uint32_t offset, uint32_t sizeBytes, const void* source, uint32_t& result) override;
    bool Process(uint32_t& result) override;
    bool ReadAltitudes() override;
};

// Over the FDS connection server: altitude and radio altitude come from other offsets.
class FdsSimVariables : public SimVariables {
public:
    FdsSimVariables();
    ~FdsSimVariables() override;

protected:
    bool QueueRead(uint32_t offset, uint32_t sizeBytes, void* destination, uint32_t& result) override;
    bool QueueWrite(uint32_t offset, uint32_t sizeBytes, const void* source, uint32_t& result) override;
    bool Process(uint32_t& result) override;
    bool ReadAltitudes() override;
};

}  // namespace halvex
