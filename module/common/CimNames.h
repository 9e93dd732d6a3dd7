// The module's catalogue of CIM names: the namespace, property and key names, association role
// names, and the class, key and provider names of the array's CIM model. All are built when the
// library is loaded, in the order declared here (which the definitions in CimNames.cpp follow),
// and are never changed afterwards, so any thread may read them.
#ifndef SCS_CimNames_h
#define SCS_CimNames_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/CIMName.h>
#include <CimNameClass.h>

PEGASUS_NAMESPACE_BEGIN

extern const CIMNamespaceName NAMESPACE_ROOT_SNIA;

// Property and key names.
extern const CIMName PROPERTY_CreationClassName;
extern const CIMName PROPERTY_SystemName;
extern const CIMName PROPERTY_SystemCreationClassName;
extern const CIMName PROPERTY_DeviceID;
extern const CIMName PROPERTY_InstanceID;
extern const CIMName PROPERTY_Name;
extern const CIMName PROPERTY_Dedicated;
extern const CIMName PROPERTY_OperationalStatus;
extern const CIMName PROPERTY_ElementName;
extern const CIMName PROPERTY_NameFormat;
extern const CIMName PROPERTY_OtherIdentifyingInfo;
extern const CIMName PROPERTY_IdentifyingDescriptions;
extern const CIMName PROPERTY_Description;
extern const CIMName PROPERTY_GroupComponent;
extern const CIMName PROPERTY_PartComponent;
extern const CIMName PROPERTY_Antecedent;
extern const CIMName PROPERTY_Dependent;

// Association role names.
extern const String ROLE_GroupComponent;
extern const String ROLE_PartComponent;
extern const String ROLE_Dependent;
extern const String ROLE_Antecedent;
extern const String ROLE_Privilege;
extern const String ROLE_TargetElement;
extern const String ROLE_PrivilegedElement;
extern const String ROLE_ConformantStandard;
extern const String ROLE_ManagedElement;
extern const String ROLE_Capabilities;
extern const String ROLE_SettingData;
extern const String ROLE_Stats;
extern const String ROLE_AvailableSAP;

// Class names.
extern const CimNameClass CLASS_CIM_CIMXMLCommunicationMechanism;
extern const CimNameClass CLASS_CIM_CommMechanismForManager;
extern const CimNameClass CLASS_CIM_InstCreation;
extern const CimNameClass CLASS_CIM_InstDeletion;
extern const CimNameClass CLASS_CIM_InstModification;
extern const CimNameClass CLASS_CIM_Namespace;
extern const CimNameClass CLASS_CIM_NamespaceInManager;
extern const CimNameClass CLASS_CIM_ObjectManager;
extern const CimNameClass CLASS_CIM_AffectedJobElement;
extern const CimNameClass CLASS_CIM_AllocatedFromStoragePool;
extern const CimNameClass CLASS_CIM_AssociatedCacheMemory;
extern const CimNameClass CLASS_CIM_AuthorizedAccess;
extern const CimNameClass CLASS_CIM_AuthorizedPrivilege;
extern const CimNameClass CLASS_CIM_AuthorizedSubject;
extern const CimNameClass CLASS_CIM_AuthorizedTarget;
extern const CimNameClass CLASS_CIM_BasedOn;
extern const CimNameClass CLASS_CIM_BindsTo;
extern const CimNameClass CLASS_CIM_BindsToLANEndpoint;
extern const CimNameClass CLASS_CIM_Card;
extern const CimNameClass CLASS_CIM_Chassis;
extern const CimNameClass CLASS_CIM_ComponentCS;
extern const CimNameClass CLASS_Zarvo_AssociatedControllerInfo;
extern const CimNameClass CLASS_CIM_CompositeExtent;
extern const CimNameClass CLASS_CIM_CompositeExtentBasedOn;
extern const CimNameClass CLASS_CIM_ComputerSystem;
extern const CimNameClass CLASS_CIM_ComputerSystemPackage;
extern const CimNameClass CLASS_CIM_ConcreteComponent;
extern const CimNameClass CLASS_CIM_ConcreteDependency;
extern const CimNameClass CLASS_CIM_ConcreteIdentity;
extern const CimNameClass CLASS_CIM_ConcreteJob;
extern const CimNameClass CLASS_CIM_Container;
extern const CimNameClass CLASS_CIM_ControllerConfigurationService;
extern const CimNameClass CLASS_CIM_DeviceSAPImplementation;
extern const CimNameClass CLASS_CIM_DiskDrive;
extern const CimNameClass CLASS_Zarvo_ATADiskDrive;
extern const CimNameClass CLASS_CIM_DriveSMARTStatus;
extern const CimNameClass CLASS_Zarvo_SMARTDataForDrive;
extern const CimNameClass CLASS_Zarvo_DriveSMARTStatus;
extern const CimNameClass CLASS_CIM_ElementCapabilities;
extern const CimNameClass CLASS_CIM_ElementConformsToProfile;
extern const CimNameClass CLASS_CIM_ElementSettingData;
extern const CimNameClass CLASS_CIM_ElementStatisticalData;
extern const CimNameClass CLASS_CIM_EndpointOfNetworkPipe;
extern const CimNameClass CLASS_CIM_EthernetPort;
extern const CimNameClass CLASS_CIM_GatewayPathID;
extern const CimNameClass CLASS_CIM_HostedAccessPoint;
extern const CimNameClass CLASS_CIM_HostedCollection;
extern const CimNameClass CLASS_CIM_HostedService;
extern const CimNameClass CLASS_CIM_HostedStoragePool;
extern const CimNameClass CLASS_CIM_IPProtocolEndpoint;
extern const CimNameClass CLASS_CIM_iSCSICapabilities;
extern const CimNameClass CLASS_CIM_iSCSIConfigurationCapabilities;
extern const CimNameClass CLASS_CIM_iSCSIConfigurationService;
extern const CimNameClass CLASS_CIM_iSCSIConnection;
extern const CimNameClass CLASS_CIM_iSCSIConnectionSettings;
extern const CimNameClass CLASS_CIM_iSCSILoginStatistics;
extern const CimNameClass CLASS_CIM_iSCSIPipes;
extern const CimNameClass CLASS_CIM_iSCSIProtocolEndpoint;
extern const CimNameClass CLASS_Zarvo_ActiveInitiatorSessions;
extern const CimNameClass CLASS_CIM_iSCSISession;
extern const CimNameClass CLASS_CIM_iSCSISessionFailures;
extern const CimNameClass CLASS_CIM_iSCSISessionSettings;
extern const CimNameClass CLASS_CIM_iSCSISessionStatistics;
extern const CimNameClass CLASS_CIM_iSCSISettings;
extern const CimNameClass CLASS_Zarvo_Event;
extern const CimNameClass CLASS_Zarvo_ManagementStackEvent;
extern const CimNameClass CLASS_Zarvo_EventService;
extern const CimNameClass CLASS_Zarvo_DataLinkEndpoint;
extern const CimNameClass CLASS_Zarvo_FirmwareImagesInfo;
extern const CimNameClass CLASS_Zarvo_FirmwareImagesForController;
extern const CimNameClass CLASS_Zarvo_IPSettings;
extern const CimNameClass CLASS_Zarvo_iSNSSettings;
extern const CimNameClass CLASS_Zarvo_MACStatistics;
extern const CimNameClass CLASS_Zarvo_NetworkRoute;
extern const CimNameClass CLASS_Zarvo_StorageConfigurationService;
extern const CimNameClass CLASS_Zarvo_SystemiSCSIStatistics;
extern const CimNameClass CLASS_Zarvo_SystemManagementPortStatistics;
extern const CimNameClass CLASS_Zarvo_SystemSettings;
extern const CimNameClass CLASS_Zarvo_SystemSettingsRedundantPair;
extern const CimNameClass CLASS_Zarvo_SystemSettingsNetworkOutbandPort;
extern const CimNameClass CLASS_Zarvo_SystemSettingsQuorplex;
extern const CimNameClass CLASS_Zarvo_SystemSettingsController;
extern const CimNameClass CLASS_Zarvo_SystemSettingsiScsiParams;
extern const CimNameClass CLASS_Zarvo_PingObject;
extern const CimNameClass CLASS_Zarvo_ForceEventLogObject;
extern const CimNameClass CLASS_Zarvo_SystemTCPStatistics;
extern const CimNameClass CLASS_Zarvo_TCPSettings;
extern const CimNameClass CLASS_CIM_LAGPort8023ad;
extern const CimNameClass CLASS_CIM_LANEndpoint;
extern const CimNameClass CLASS_CIM_LinkAggregator8023ad;
extern const CimNameClass CLASS_CIM_MediaPresent;
extern const CimNameClass CLASS_CIM_MemberOfCollection;
extern const CimNameClass CLASS_Zarvo_NetworkConfigurationService;
extern const CimNameClass CLASS_CIM_NetworkPipeComposition;
extern const CimNameClass CLASS_CIM_NetworkPort;
extern const CimNameClass CLASS_CIM_NetworkVLAN;
extern const CimNameClass CLASS_CIM_OwningJobElement;
extern const CimNameClass CLASS_CIM_PackagedComponent;
extern const CimNameClass CLASS_CIM_PackageInChassis;
extern const CimNameClass CLASS_CIM_PhysicalMedia;
extern const CimNameClass CLASS_CIM_PhysicalPackage;
extern const CimNameClass CLASS_CIM_Privilege;
extern const CimNameClass CLASS_CIM_Product;
extern const CimNameClass CLASS_CIM_ProductParentChild;
extern const CimNameClass CLASS_CIM_ProductPhysicalComponent;
extern const CimNameClass CLASS_CIM_ProtocolController;
extern const CimNameClass CLASS_CIM_ProtocolControllerForUnit;
extern const CimNameClass CLASS_CIM_Realizes;
extern const CimNameClass CLASS_CIM_RealizesExtent;
extern const CimNameClass CLASS_CIM_RegisteredProfile;
extern const CimNameClass CLASS_CIM_RemoteAccessAvailableToElement;
extern const CimNameClass CLASS_CIM_RemoteServiceAccessPoint;
extern const CimNameClass CLASS_CIM_SAPAvailableForElement;
extern const CimNameClass CLASS_CIM_SAPAvailableForElement2;
extern const CimNameClass CLASS_CIM_SCSIProtocolController;
extern const CimNameClass CLASS_CIM_SCSIProtocolEndpoint;
extern const CimNameClass CLASS_CIM_SharedSecret;
extern const CimNameClass CLASS_CIM_StorageCapabilities;
extern const CimNameClass CLASS_CIM_StorageConfigurationService;
extern const CimNameClass CLASS_CIM_StorageExtent;
extern const CimNameClass CLASS_Zarvo_LeafExtent;
extern const CimNameClass CLASS_Zarvo_VolumeReconfiguring;
extern const CimNameClass CLASS_CIM_StorageHardwareID;
extern const CimNameClass CLASS_CIM_StorageHardwareIDManagementService;
extern const CimNameClass CLASS_CIM_StoragePool;
extern const CimNameClass CLASS_CIM_StorageResourceLoadGroup;
extern const CimNameClass CLASS_CIM_StorageSetting;
extern const CimNameClass CLASS_CIM_StorageSettingWithHints;
extern const CimNameClass CLASS_CIM_StorageVolume;
extern const CimNameClass CLASS_CIM_SystemDevice;
extern const CimNameClass CLASS_CIM_SystemSettings;
extern const CimNameClass CLASS_CIM_SystemSpecificCollection;
extern const CimNameClass CLASS_CIM_TCPProtocolEndpoint;
extern const CimNameClass CLASS_SNIA_StorageProtectionService;
extern const CimNameClass CLASS_SNIA_StorageProtectionSetting;
extern const CimNameClass CLASS_SNIA_ElementProtectionSettingData;
extern const CimNameClass CLASS_Zarvo_NetworkRouteDependency;
extern const CimNameClass CLASS_Zarvo_Profile_Disk;

// Key and property names as library arguments.
extern const CimNameClass KEY_CreationClassName;
extern const CimNameClass KEY_SystemName;
extern const CimNameClass KEY_SystemCreationClassName;
extern const CimNameClass KEY_DeviceID;
extern const CimNameClass KEY_InstanceID;
extern const CimNameClass KEY_Privilege;
extern const CimNameClass KEY_PrivilegedElement;
extern const CimNameClass KEY_PrimaryVolume;
extern const CimNameClass KEY_ShadowVolume;

// The module's provider names.
extern const CimNameClass PROVIDER_StorageConfigurationServiceProvider;
extern const CimNameClass PROVIDER_AffectedJobElementProvider;
extern const CimNameClass PROVIDER_OwningJobElementProvider;
extern const CimNameClass PROVIDER_ConcreteJobProvider;

PEGASUS_NAMESPACE_END

#endif
